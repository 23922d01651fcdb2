// Small sample files of every readable kind, generated with the fixture writers.
#include "tests/support/sample_files.h"

#include <cmath>
#include <cstdint>

#include "tests/support/exr_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/png_fixture.h"
#include "tests/support/rgbe_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_w = 16, k_h = 12;  // 16 wide: RGBE run-length scanlines apply

float value(uint32_t i, int c) { return 0.01f + float((i * 7 + c * 13) % 29) * 0.37f; }

template <typename T>
std::vector<T> interleaved(uint32_t channels, double scale) {
  std::vector<T> v;
  for (uint32_t i = 0; i < k_w * k_h; ++i)
    for (uint32_t c = 0; c < channels; ++c) v.push_back(T(value(i, int(c)) * scale));
  return v;
}

Tiff_layout tiff_layout(uint16_t samples, uint16_t bits, uint16_t photometric, uint16_t format,
                        uint16_t compression) {
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.samples = samples;
  l.bits = bits;
  l.photometric = photometric;
  l.sample_format = format;
  l.compression = compression;
  l.rows_per_strip = 4;
  return l;
}

}  // namespace

std::vector<std::string> write_sample_files(const std::string& folder) {
  std::vector<std::string> paths;
  auto path = [&](const char* name) {
    paths.push_back(folder + name);
    return paths.back();
  };

  std::vector<Rgbe_pixel> rgbe;
  for (uint32_t i = 0; i < k_w * k_h; ++i)
    rgbe.push_back(rgbe_from_float(value(i, 0), value(i / 4, 1), value(i / 8, 2)));
  write_file_bytes(path("rgbe_rle.hdr"), rgbe_file(k_w, k_h, rgbe, true));
  write_file_bytes(path("rgbe_flat.pic"), rgbe_file(k_w, k_h, rgbe, false));

  std::vector<float> r, g, b;
  for (uint32_t i = 0; i < k_w * k_h; ++i) {
    r.push_back(value(i, 0));
    g.push_back(value(i, 1));
    b.push_back(value(i, 2));
  }
  write_exr(path("exr_float.exr"), {int(k_w), int(k_h), 0, 0, false, true},
            {{"R", r.data()}, {"G", g.data()}, {"B", b.data()}});
  write_exr(path("exr_half_offset.exr"), {int(k_w), int(k_h), -3, 5, true, true},
            {{"R", r.data()}, {"G", g.data()}, {"B", b.data()}});
  write_exr(path("exr_plain_y.exr"), {int(k_w), int(k_h), 0, 0, false, false}, {{"Y", g.data()}});

  const auto rgb8 = interleaved<uint8_t>(3, 20);
  write_tiff(path("tiff_rgb8.tif"),
             tiff_layout(3, 8, PHOTOMETRIC_RGB, SAMPLEFORMAT_UINT, COMPRESSION_NONE), rgb8.data());
  write_tiff(path("tiff_rgb8_lzw.tiff"),
             tiff_layout(3, 8, PHOTOMETRIC_RGB, SAMPLEFORMAT_UINT, COMPRESSION_LZW), rgb8.data());
  const auto rgb16 = interleaved<uint16_t>(3, 5000);
  write_tiff(path("tiff_rgb16_zip.tif"),
             tiff_layout(3, 16, PHOTOMETRIC_RGB, SAMPLEFORMAT_UINT, COMPRESSION_ADOBE_DEFLATE),
             rgb16.data());
  const auto cmyk16 = interleaved<uint16_t>(4, 5000);
  write_tiff(path("tiff_cmyk16.tif"),
             tiff_layout(4, 16, PHOTOMETRIC_SEPARATED, SAMPLEFORMAT_UINT, COMPRESSION_NONE),
             cmyk16.data());
  const auto cmyk8 = interleaved<uint8_t>(4, 20);
  write_tiff(path("tiff_cmyk8.tif"),
             tiff_layout(4, 8, PHOTOMETRIC_SEPARATED, SAMPLEFORMAT_UINT, COMPRESSION_NONE),
             cmyk8.data());
  const auto rgbf = interleaved<float>(3, 1);
  write_tiff(path("tiff_float.tif"),
             tiff_layout(3, 32, PHOTOMETRIC_RGB, SAMPLEFORMAT_IEEEFP, COMPRESSION_NONE),
             rgbf.data());
  Tiff_layout tiled =
      tiff_layout(3, 32, PHOTOMETRIC_RGB, SAMPLEFORMAT_IEEEFP, COMPRESSION_ADOBE_DEFLATE);
  tiled.tile = 16;
  write_tiff(path("tiff_float_tiles.tif"), tiled, rgbf.data());
  Tiff_layout palette = tiff_layout(1, 8, PHOTOMETRIC_PALETTE, SAMPLEFORMAT_UINT, COMPRESSION_NONE);
  for (int i = 0; i < 3 * 256; ++i) palette.colormap.push_back(uint16_t(i * 85));
  const auto index = interleaved<uint8_t>(1, 20);
  write_tiff(path("tiff_palette.tif"), palette, index.data());
  std::vector<float> xyz;
  for (uint32_t i = 0; i < k_w * k_h; ++i)
    xyz.insert(xyz.end(), {value(i, 0), value(i, 1), value(i, 2)});
  write_tiff_logluv(path("tiff_logluv.tif"), k_w, k_h, xyz.data());
  write_tiff_logl(path("tiff_logl.tif"), k_w, k_h, g.data());

  Png_layout png;
  png.width = k_w;
  png.height = k_h;
  for (int channels = 1; channels <= 4; ++channels) {
    png.channels = channels;
    png.bits = 8;
    const auto data8 = interleaved<uint8_t>(uint32_t(channels), 20);
    write_png(path(("png" + std::to_string(channels) + ".png").c_str()), png, data8.data());
  }
  png.channels = 3;
  png.bits = 16;
  const auto data16 = interleaved<uint16_t>(3, 6000);
  write_png(path("png_rgb16.png"), png, data16.data());

  const auto grey8 = interleaved<uint8_t>(1, 20);
  write_jpeg(path("jpeg_grey.jpg"), k_w, k_h, 1, grey8.data());
  write_jpeg(path("jpeg_rgb.jpeg"), k_w, k_h, 3, rgb8.data());
  write_jpeg(path("jpeg_progressive.jpg"), k_w, k_h, 3, rgb8.data(), 90, {}, true);
  return paths;
}

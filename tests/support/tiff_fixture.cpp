// libtiff fixture writers.
#include "tests/support/tiff_fixture.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

struct Tiff_closer {
  void operator()(TIFF* t) const { TIFFClose(t); }
};
using Tiff_ptr = std::unique_ptr<TIFF, Tiff_closer>;

Tiff_ptr open_for_writing(const std::string& path) {
  Tiff_ptr tif(TIFFOpen(path.c_str(), "w"));
  if (!tif) throw std::runtime_error("cannot create " + path);
  return tif;
}

void check(int ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("libtiff refused: ") + what);
}

// Writes interleaved float rows of samples_per_pixel values through the SGILOG codec.
void write_sgilog(const std::string& path, uint32_t width, uint32_t height, uint16_t spp,
                  uint16_t photometric, uint16_t compression, const float* data) {
  Tiff_ptr tif = open_for_writing(path);
  TIFF* t = tif.get();
  check(TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width), "width");
  check(TIFFSetField(t, TIFFTAG_IMAGELENGTH, height), "length");
  check(TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp), "samples");
  check(TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG), "planar");
  check(TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric), "photometric");
  check(TIFFSetField(t, TIFFTAG_COMPRESSION, compression), "compression");
  // Only valid once the codec is chosen.
  check(TIFFSetField(t, TIFFTAG_SGILOGDATAFMT, SGILOGDATAFMT_FLOAT), "sgilog data format");
  check(TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 32), "bits");
  check(TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP), "sample format");
  check(TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0)), "rows per strip");
  std::vector<float> row(size_t(width) * spp);
  for (uint32_t y = 0; y < height; ++y) {
    std::memcpy(row.data(), data + size_t(y) * width * spp, row.size() * sizeof(float));
    check(TIFFWriteScanline(t, row.data(), y, 0) == 1, "scanline");
  }
}

}  // namespace

void write_tiff(const std::string& path, const Tiff_layout& l, const void* data) {
  Tiff_ptr tif = open_for_writing(path);
  TIFF* t = tif.get();
  check(TIFFSetField(t, TIFFTAG_IMAGEWIDTH, l.width), "width");
  check(TIFFSetField(t, TIFFTAG_IMAGELENGTH, l.height), "length");
  check(TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, l.samples), "samples");
  check(TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, l.bits), "bits");
  check(TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, l.sample_format), "sample format");
  check(TIFFSetField(t, TIFFTAG_PLANARCONFIG, l.planar), "planar");
  if (l.write_photometric)
    check(TIFFSetField(t, TIFFTAG_PHOTOMETRIC, l.photometric), "photometric");
  check(TIFFSetField(t, TIFFTAG_COMPRESSION, l.compression), "compression");
  if (!l.extra_samples.empty())
    check(TIFFSetField(t, TIFFTAG_EXTRASAMPLES, uint16_t(l.extra_samples.size()),
                       l.extra_samples.data()),
          "extra samples");
  if (!l.colormap.empty()) {
    const size_t n = l.colormap.size() / 3;
    check(TIFFSetField(t, TIFFTAG_COLORMAP, l.colormap.data(), l.colormap.data() + n,
                       l.colormap.data() + 2 * n),
          "colormap");
  }

  const auto* bytes = static_cast<const uint8_t*>(data);
  const bool separate = l.planar == PLANARCONFIG_SEPARATE;
  const uint16_t planes = separate ? l.samples : 1;
  const uint16_t per_pixel = separate ? 1 : l.samples;
  const size_t row_bytes = (size_t(l.width) * per_pixel * l.bits + 7) / 8;
  const size_t plane_bytes = row_bytes * l.height;

  if (l.tile) {
    check(TIFFSetField(t, TIFFTAG_TILEWIDTH, l.tile), "tile width");
    check(TIFFSetField(t, TIFFTAG_TILELENGTH, l.tile), "tile length");
    if (l.bits % 8) throw std::invalid_argument("tiled fixtures need whole-byte samples");
    const size_t px = size_t(per_pixel) * l.bits / 8;
    std::vector<uint8_t> tile(size_t(TIFFTileSize(t)));
    for (uint16_t s = 0; s < planes; ++s)
      for (uint32_t ty = 0; ty < l.height; ty += l.tile)
        for (uint32_t tx = 0; tx < l.width; tx += l.tile) {
          std::fill(tile.begin(), tile.end(), 0);
          for (uint32_t y = ty; y < std::min(ty + l.tile, l.height); ++y)
            for (uint32_t x = tx; x < std::min(tx + l.tile, l.width); ++x)
              std::memcpy(&tile[(size_t(y - ty) * l.tile + (x - tx)) * px],
                          bytes + s * plane_bytes + y * row_bytes + x * px, px);
          check(TIFFWriteTile(t, tile.data(), tx, ty, 0, s) >= 0, "tile");
        }
    return;
  }
  check(TIFFSetField(t, TIFFTAG_ROWSPERSTRIP,
                     l.rows_per_strip ? l.rows_per_strip : TIFFDefaultStripSize(t, 0)),
        "rows per strip");
  std::vector<uint8_t> row(row_bytes);
  for (uint16_t s = 0; s < planes; ++s)
    for (uint32_t y = 0; y < l.height; ++y) {
      std::memcpy(row.data(), bytes + s * plane_bytes + y * row_bytes, row_bytes);
      check(TIFFWriteScanline(t, row.data(), y, s) == 1, "scanline");
    }
}

void write_tiff_logluv(const std::string& path, uint32_t width, uint32_t height, const float* xyz,
                       uint16_t compression) {
  write_sgilog(path, width, height, 3, PHOTOMETRIC_LOGLUV, compression, xyz);
}

void write_tiff_logl(const std::string& path, uint32_t width, uint32_t height, const float* y) {
  write_sgilog(path, width, height, 1, PHOTOMETRIC_LOGL, COMPRESSION_SGILOG, y);
}

void tiff_first_strip(const std::string& path, uint64_t& offset, uint64_t& bytes) {
  Tiff_ptr tif(TIFFOpen(path.c_str(), "r"));
  if (!tif) throw std::runtime_error("cannot open " + path);
  uint64_t* offsets = nullptr;
  uint64_t* counts = nullptr;
  const bool tiled = TIFFIsTiled(tif.get());
  check(TIFFGetField(tif.get(), tiled ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS, &offsets),
        "offsets");
  check(TIFFGetField(tif.get(), tiled ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS, &counts),
        "byte counts");
  offset = offsets[0];
  bytes = counts[0];
}

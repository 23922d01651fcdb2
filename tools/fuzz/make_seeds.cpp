// Writes the fuzzers' seed corpora into <folder>/<target>/: small valid files of every
// kind the readers take, made by the program's own writers and the test fixture writers.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_save.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/exr_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/png_fixture.h"
#include "tests/support/rgbe_bytes.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_w = 16, k_h = 8;

std::string g_root;

std::string folder(const std::string& target) {
  const std::string dir = g_root + "/" + target;
  mkdir(dir.c_str(), 0755);
  return dir + "/";
}

void write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A small HDR gradient with a few bright and black pixels.
Hdr_image gradient(bool hdr) {
  Hdr_image img(k_w, k_h, 1, 3, 0.f);
  cimg_forXYC(img, x, y, c) {
    const float v = float(x + 1) * float(y + 1) / float(k_w * k_h);
    img(x, y, 0, c) = hdr ? v * std::pow(4.f, float(c + y % 3)) : std::round(255.f * v);
  }
  img(0, 0, 0, 0) = img(0, 0, 0, 1) = img(0, 0, 0, 2) = 0.f;
  img.type = hdr ? k_type_new_hdr : k_type_new_ldr;
  return img;
}

void saved(const std::string& dir, const std::string& name, uint32_t type, bool hdr) {
  Hdr_image img = gradient(hdr);
  save_image_as(img, dir + name, type);
}

std::vector<uint8_t> bytes_rgb(int channels) {
  std::vector<uint8_t> v(k_w * k_h * channels);
  for (size_t i = 0; i < v.size(); ++i) v[i] = uint8_t(i * 7);
  return v;
}

void rgbe_seeds() {
  const std::string dir = folder("fuzz_load_rgbe");
  std::vector<Rgbe_pixel> pixels;
  for (uint32_t i = 0; i < k_w * k_h; ++i)
    pixels.push_back(rgbe_from_float(float(i % 5), float(i % 3) * 0.1f, 1.f));
  write_bytes(dir + "rle.hdr", rgbe_file(k_w, k_h, pixels, true));
  write_bytes(dir + "flat.hdr", rgbe_file(k_w, k_h, pixels, false));
  write_bytes(dir + "narrow.hdr", rgbe_file(4, 2, {pixels.begin(), pixels.begin() + 8}, false));
  saved(dir, "written.hdr", k_type_rgbe, true);
}

void exr_seeds() {
  const std::string dir = folder("fuzz_load_exr");
  std::vector<float> plane(k_w * k_h);
  for (size_t i = 0; i < plane.size(); ++i) plane[i] = float(i) * 0.25f;
  Exr_layout layout;
  layout.width = int(k_w);
  layout.height = int(k_h);
  write_exr(dir + "rgb.exr", layout,
            {{"R", plane.data()}, {"G", plane.data()}, {"B", plane.data()}});
  layout.origin_x = -3;
  layout.origin_y = 5;
  layout.half = true;
  write_exr(dir + "y_half_offset.exr", layout, {{"Y", plane.data()}});
  layout.compress = false;
  write_exr(dir + "raw.exr", layout,
            {{"R", plane.data()}, {"G", plane.data()}, {"B", plane.data()}});
  saved(dir, "written.exr", k_type_exr, true);
}

void tiff_seeds() {
  const std::string dir = folder("fuzz_load_tiff");
  auto rgb8 = bytes_rgb(3);
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  write_tiff(dir + "rgb8.tif", l, rgb8.data());
  l.compression = COMPRESSION_LZW;
  l.rows_per_strip = 2;
  write_tiff(dir + "rgb8_lzw.tif", l, rgb8.data());

  std::vector<uint16_t> grey16(k_w * k_h);
  for (size_t i = 0; i < grey16.size(); ++i) grey16[i] = uint16_t(i * 511);
  Tiff_layout g16;
  g16.width = k_w;
  g16.height = k_h;
  g16.samples = 1;
  g16.bits = 16;
  g16.photometric = PHOTOMETRIC_MINISBLACK;
  write_tiff(dir + "grey16.tif", g16, grey16.data());

  std::vector<float> rgbf(k_w * k_h * 3);
  for (size_t i = 0; i < rgbf.size(); ++i) rgbf[i] = float(i) * 0.5f;
  Tiff_layout f;
  f.width = k_w;
  f.height = k_h;
  f.bits = 32;
  f.sample_format = SAMPLEFORMAT_IEEEFP;
  write_tiff(dir + "float.tif", f, rgbf.data());
  f.planar = PLANARCONFIG_SEPARATE;
  write_tiff(dir + "float_planes.tif", f, rgbf.data());

  Tiff_layout pal;
  pal.width = k_w;
  pal.height = k_h;
  pal.samples = 1;
  pal.photometric = PHOTOMETRIC_PALETTE;
  for (int i = 0; i < 3 * 256; ++i) pal.colormap.push_back(uint16_t(i * 85));
  auto idx = bytes_rgb(1);
  write_tiff(dir + "palette.tif", pal, idx.data());

  Tiff_layout cmyk;
  cmyk.width = k_w;
  cmyk.height = k_h;
  cmyk.samples = 4;
  cmyk.photometric = PHOTOMETRIC_SEPARATED;
  auto c4 = bytes_rgb(4);
  write_tiff(dir + "cmyk.tif", cmyk, c4.data());

  Tiff_layout tiled = l;
  tiled.compression = COMPRESSION_NONE;
  tiled.rows_per_strip = 0;
  tiled.tile = 16;
  write_tiff(dir + "tiled.tif", tiled, rgb8.data());

  write_tiff_logluv(dir + "logluv.tif", k_w, k_h, rgbf.data());
  write_tiff_logluv(dir + "logluv24.tif", k_w, k_h, rgbf.data(), COMPRESSION_SGILOG24);
  write_tiff_logl(dir + "logl.tif", k_w, k_h, rgbf.data());
  saved(dir, "written8.tif", k_type_tiff8, false);
  saved(dir, "written_float.tif", k_type_tiff_float, true);
  saved(dir, "written_logluv.tif", k_type_tiff_logluv, true);
}

void png_seeds() {
  const std::string dir = folder("fuzz_load_png");
  for (int channels : {1, 2, 3, 4}) {
    Png_layout l;
    l.width = k_w;
    l.height = k_h;
    l.channels = channels;
    auto data = bytes_rgb(channels);
    write_png(dir + "c" + std::to_string(channels) + ".png", l, data.data());
  }
  Png_layout l16;
  l16.width = k_w;
  l16.height = k_h;
  l16.bits = 16;
  std::vector<uint16_t> d16(k_w * k_h * 3);
  for (size_t i = 0; i < d16.size(); ++i) d16[i] = uint16_t(i * 331);
  write_png(dir + "rgb16.png", l16, d16.data());
  Png_layout pal;
  pal.width = k_w;
  pal.height = k_h;
  pal.palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  std::vector<uint8_t> idx(k_w * k_h);
  for (size_t i = 0; i < idx.size(); ++i) idx[i] = uint8_t(i % 4);
  write_png(dir + "palette.png", pal, idx.data());
  saved(dir, "written.png", k_type_png, false);
}

void jpeg_seeds() {
  const std::string load = folder("fuzz_load_jpeg"), thumb = folder("fuzz_read_jpeg_rgb"),
                    exif = folder("fuzz_exif_segment");
  auto rgb = bytes_rgb(3), grey = bytes_rgb(1);
  for (const std::string& dir : {load, thumb}) {
    write_jpeg(dir + "rgb.jpg", k_w, k_h, 3, rgb.data());
    write_jpeg(dir + "grey.jpg", k_w, k_h, 1, grey.data());
  }
  saved(load, "written.jpg", k_type_jpeg, false);

  // The tile's thumbnail shrinks pictures larger than its box while decoding.
  const std::string tile = folder("fuzz_jpeg_thumbnail");
  std::vector<uint8_t> big(300 * 200 * 3);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 7 % 251);
  write_jpeg(tile + "rgb_large.jpg", 300, 200, 3, big.data());
  write_jpeg(tile + "grey_large.jpg", 300, 600, 1, big.data());
  write_jpeg(tile + "rgb_small.jpg", k_w, k_h, 3, rgb.data());

  write_jpeg(exif + "plain.jpg", k_w, k_h, 3, rgb.data());
  const std::string plain = read_bytes(exif + "plain.jpg");
  for (bool big : {false, true}) {
    const std::string segment = exif_app1_segment("Maker", "Model 1", plain, big);
    const std::string name = big ? "exif_mm.jpg" : "exif_ii.jpg";
    const std::string file = with_leading_segment(plain, segment);
    write_bytes(exif + name, file);
    write_bytes(load + name, file);
    write_bytes(thumb + name, file);
  }
}

// The probes read every kind: a few files of each, copied from the loaders' seeds.
void probe_seeds() {
  const std::string dir = folder("fuzz_header_probes");
  const char* sources[][2] = {{"fuzz_load_jpeg", "exif_ii.jpg"}, {"fuzz_load_jpeg", "grey.jpg"},
                              {"fuzz_load_exr", "rgb.exr"},      {"fuzz_load_png", "c2.png"},
                              {"fuzz_load_rgbe", "rle.hdr"},     {"fuzz_load_tiff", "logluv.tif"},
                              {"fuzz_load_tiff", "float.tif"}};
  for (const auto& s : sources)
    write_bytes(dir + s[1], read_bytes(g_root + "/" + s[0] + "/" + s[1]));
}

void exif_thumbnail_seeds() {
  const std::string dir = folder("fuzz_exif_thumbnail");
  auto rgb = bytes_rgb(3), grey = bytes_rgb(1);
  write_jpeg(dir + "main.jpg", k_w, k_h, 3, rgb.data());
  write_jpeg(dir + "thumb_grey.jpg", k_w / 2, k_h / 2, 1, grey.data());
  const std::string main = read_bytes(dir + "main.jpg");
  const std::string thumb_grey = read_bytes(dir + "thumb_grey.jpg");
  std::remove((dir + "thumb_grey.jpg").c_str());
  for (bool big : {false, true}) {
    write_bytes(dir + (big ? "rgb_thumb_mm.jpg" : "rgb_thumb_ii.jpg"),
                with_leading_segment(main, exif_app1_segment("Maker", "Model", main, big)));
  }
  write_bytes(dir + "grey_thumb.jpg",
              with_leading_segment(main, exif_app1_segment("Maker", "Model", thumb_grey)));
  write_bytes(dir + "cut_thumb.jpg",
              with_leading_segment(main, exif_app1_segment("Maker", "Model", main.substr(0, 80))));
}

void drop_seeds() {
  const std::string dir = folder("fuzz_drop_path");
  write_bytes(dir + "uri", "file:///home/user/My%20Photos/a.exr\r\n");
  write_bytes(dir + "plain", "/tmp/b.png\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_make_seeds <folder>\n";
    return 2;
  }
  g_root = argv[1];
  mkdir(g_root.c_str(), 0755);
  try {
    rgbe_seeds();
    exr_seeds();
    tiff_seeds();
    png_seeds();
    jpeg_seeds();
    exif_thumbnail_seeds();
    drop_seeds();
    probe_seeds();
  } catch (const std::exception& e) {
    std::cerr << "fuzz_make_seeds: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

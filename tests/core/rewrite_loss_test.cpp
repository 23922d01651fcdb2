// What rewriting a file in its own format would lose, told from the file: a transparent
// alpha channel (not an opaque one) and samples wider than the writer keeps, for every
// layout the readers take (PNG grey+alpha, RGBA, 16-bit; TIFF contiguous, planar and
// tiled, integer and float; OpenEXR with an "A" channel).
#include "core/rewrite_loss.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "tests/support/exr_fixture.h"
#include "tests/support/png_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_w = 5, k_h = 3;
constexpr char k_transparency[] = "its transparency (alpha channel)";

// Interleaved samples of k_w x k_h pixels: colour samples 100, the alpha sample (the last
// of each pixel when alpha is true) opaque except at pixel 7, which gets clear.
template <typename T>
std::vector<T> samples(int per_pixel, bool alpha, T opaque, T clear) {
  std::vector<T> v(size_t(k_w) * k_h * per_pixel, T(100));
  if (!alpha) return v;
  for (size_t p = 0; p < size_t(k_w) * k_h; ++p)
    v[p * per_pixel + per_pixel - 1] = p == 7 ? clear : opaque;
  return v;
}

void png(const std::string& path, int channels, int bits, bool alpha, uint16_t clear) {
  Png_layout l;
  l.width = k_w;
  l.height = k_h;
  l.channels = channels;
  l.bits = bits;
  if (bits == 16) {
    const std::vector<uint16_t> d = samples<uint16_t>(channels, alpha, 65535, clear);
    write_png(path, l, d.data());
  } else {
    const std::vector<uint8_t> d = samples<uint8_t>(channels, alpha, 255, uint8_t(clear));
    write_png(path, l, d.data());
  }
}

Tiff_layout tiff_layout(uint16_t samples_per_pixel, uint16_t bits, uint16_t format,
                        std::vector<uint16_t> extra) {
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.samples = samples_per_pixel;
  l.bits = bits;
  l.sample_format = format;
  l.extra_samples = std::move(extra);
  return l;
}

void exr(const std::string& path, bool alpha, float a) {
  std::vector<float> colour(size_t(k_w) * k_h, 0.5f), opacity(size_t(k_w) * k_h, 1.f);
  opacity[7] = a;
  std::vector<Exr_channel> channels = {
      {"R", colour.data()}, {"G", colour.data()}, {"B", colour.data()}};
  if (alpha) channels.push_back({"A", opacity.data()});
  Exr_layout l;
  l.width = int(k_w);
  l.height = int(k_h);
  l.half = true;
  write_exr(path, l, channels);
}

struct Loss_case {
  const char* name;
  uint32_t type;
  void (*write)(const std::string& path);
  const char* loss;  // "" when nothing is lost
};

class RewriteLoss : public ::testing::TestWithParam<Loss_case> {};

TEST_P(RewriteLoss, ToldFromTheFile) {
  const Loss_case& c = GetParam();
  Temp_dir dir;
  const std::string path = dir.file("f");
  c.write(path);
  EXPECT_EQ(rewrite_loss(path, c.type), c.loss);
}

const Loss_case k_cases[] = {
    {"PngRgb", k_type_png, [](const std::string& p) { png(p, 3, 8, false, 0); }, ""},
    {"PngRgbaOneClearPixel", k_type_png, [](const std::string& p) { png(p, 4, 8, true, 0); },
     k_transparency},
    {"PngRgbaOpaque", k_type_png, [](const std::string& p) { png(p, 4, 8, true, 255); }, ""},
    {"PngGreyAlphaHalfClear", k_type_png, [](const std::string& p) { png(p, 2, 8, true, 128); },
     k_transparency},
    {"PngRgb16", k_type_png, [](const std::string& p) { png(p, 3, 16, false, 0); },
     "the precision of its 16-bit samples"},
    {"PngRgba16AlmostOpaque", k_type_png, [](const std::string& p) { png(p, 4, 16, true, 65534); },
     k_transparency},
    {"TiffRgba8OneClearPixel", k_type_tiff8,
     [](const std::string& p) {
       const auto d = samples<uint8_t>(4, true, 255, 0);
       write_tiff(p, tiff_layout(4, 8, SAMPLEFORMAT_UINT, {EXTRASAMPLE_UNASSALPHA}), d.data());
     },
     k_transparency},
    {"TiffRgba8Opaque", k_type_tiff8,
     [](const std::string& p) {
       const auto d = samples<uint8_t>(4, true, 255, 255);
       write_tiff(p, tiff_layout(4, 8, SAMPLEFORMAT_UINT, {EXTRASAMPLE_ASSOCALPHA}), d.data());
     },
     ""},
    {"TiffRgba8TiledOneClearPixel", k_type_tiff8,
     [](const std::string& p) {
       const auto d = samples<uint8_t>(4, true, 255, 0);
       Tiff_layout l = tiff_layout(4, 8, SAMPLEFORMAT_UINT, {EXTRASAMPLE_UNASSALPHA});
       l.tile = 16;
       write_tiff(p, l, d.data());
     },
     k_transparency},
    {"TiffRgbExtraSampleNotAlpha", k_type_tiff8,
     [](const std::string& p) {
       const auto d = samples<uint8_t>(4, true, 255, 0);
       write_tiff(p, tiff_layout(4, 8, SAMPLEFORMAT_UINT, {EXTRASAMPLE_UNSPECIFIED}), d.data());
     },
     ""},
    {"TiffGreyAlpha16AlmostOpaque", k_type_tiff_float,
     [](const std::string& p) {
       const auto d = samples<uint16_t>(2, true, 65535, 65534);
       Tiff_layout l = tiff_layout(2, 16, SAMPLEFORMAT_UINT, {EXTRASAMPLE_ASSOCALPHA});
       l.photometric = PHOTOMETRIC_MINISBLACK;
       write_tiff(p, l, d.data());
     },
     k_transparency},
    {"TiffRgb16", k_type_tiff_float,
     [](const std::string& p) {
       const auto d = samples<uint16_t>(3, false, 0, 0);
       write_tiff(p, tiff_layout(3, 16, SAMPLEFORMAT_UINT, {}), d.data());
     },
     ""},
    {"TiffFloatPlanarHalfClear", k_type_tiff_float,
     [](const std::string& p) {
       // Plane after plane: the alpha plane is the fourth.
       std::vector<float> d(size_t(k_w) * k_h * 4, 100.f);
       for (size_t i = 0; i < size_t(k_w) * k_h; ++i) d[3 * k_w * k_h + i] = i == 7 ? 0.5f : 1.f;
       Tiff_layout l = tiff_layout(4, 32, SAMPLEFORMAT_IEEEFP, {EXTRASAMPLE_UNASSALPHA});
       l.planar = PLANARCONFIG_SEPARATE;
       write_tiff(p, l, d.data());
     },
     k_transparency},
    {"TiffFloatOpaque", k_type_tiff_float,
     [](const std::string& p) {
       const auto d = samples<float>(4, true, 1.f, 1.f);
       write_tiff(p, tiff_layout(4, 32, SAMPLEFORMAT_IEEEFP, {EXTRASAMPLE_UNASSALPHA}), d.data());
     },
     ""},
    {"TiffDouble", k_type_tiff_float,
     [](const std::string& p) {
       const auto d = samples<double>(3, false, 0, 0);
       write_tiff(p, tiff_layout(3, 64, SAMPLEFORMAT_IEEEFP, {}), d.data());
     },
     "the precision of its 64-bit samples"},
    {"TiffUint32", k_type_tiff_float,
     [](const std::string& p) {
       const auto d = samples<uint32_t>(3, false, 0, 0);
       write_tiff(p, tiff_layout(3, 32, SAMPLEFORMAT_UINT, {}), d.data());
     },
     "the precision of its 32-bit samples"},
    {"ExrRgbaOneClearPixel", k_type_exr, [](const std::string& p) { exr(p, true, 0.f); },
     k_transparency},
    {"ExrRgbaOpaque", k_type_exr, [](const std::string& p) { exr(p, true, 1.f); }, ""},
    {"ExrRgb", k_type_exr, [](const std::string& p) { exr(p, false, 0.f); }, ""},
};

INSTANTIATE_TEST_SUITE_P(Files, RewriteLoss, ::testing::ValuesIn(k_cases),
                         [](const ::testing::TestParamInfo<Loss_case>& info) {
                           return std::string(info.param.name);
                         });

TEST(RewriteLoss, UnreadableFileThrowsReadError) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("a.png"), "not a png"));
  EXPECT_THROW(rewrite_loss(dir.file("a.png"), k_type_png), Read_error);
}

}  // namespace

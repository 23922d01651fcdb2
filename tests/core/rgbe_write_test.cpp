#include "core/rgbe_write.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<int>;

Bytes encode(float r, float g, float b) {
  unsigned char p[4];
  float_to_rgbe(r, g, b, p);
  return {p[0], p[1], p[2], p[3]};
}

std::string bytes_of(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += char(b);
  return s;
}

// Runs a writer on a fresh file and returns what it wrote.
template <typename Write>
std::string written(Write write) {
  Temp_dir dir;
  std::FILE* f = std::fopen(dir.file("out").c_str(), "wb");
  EXPECT_EQ(write(f), 0);
  std::fclose(f);
  return read_file_bytes(dir.file("out"));
}

std::string rle(const std::vector<float>& rgb, uint32_t width, uint32_t height) {
  return written([&](std::FILE* f) { return rgbe_write_pixels_rle(f, rgb.data(), width, height); });
}

struct Pixel_case {
  const char* name;
  float r, g, b;
  Bytes expected;
};

class FloatToRgbe : public ::testing::TestWithParam<Pixel_case> {};

TEST_P(FloatToRgbe, Encodes) {
  const Pixel_case& c = GetParam();
  EXPECT_EQ(encode(c.r, c.g, c.b), c.expected);
}

const float k_inf = std::numeric_limits<float>::infinity();
const float k_nan = std::numeric_limits<float>::quiet_NaN();
const float k_max = std::numeric_limits<float>::max();

INSTANTIATE_TEST_SUITE_P(
    Values, FloatToRgbe,
    ::testing::Values(
        Pixel_case{"Example", 1.0f, 0.5f, 0.25f, {128, 64, 32, 129}},
        Pixel_case{"AllZero", 0.f, 0.f, 0.f, {0, 0, 0, 0}},
        Pixel_case{"BelowTiny", 9e-33f, 5e-33f, 0.f, {0, 0, 0, 0}},
        Pixel_case{"TinyButEncoded", 1e-32f, 0.f, 0.f, {207, 0, 0, 22}},
        Pixel_case{"JustBelowPowerOfTwo", 0.99999994f, 0.f, 0.f, {255, 0, 0, 128}},
        Pixel_case{"Large", 1e30f, 0.f, 1e29f, {201, 0, 20, 228}},
        Pixel_case{"LargestUnsaturated", 1.5e38f, 0.f, 0.f, {225, 0, 0, 255}},
        // 2^127 and above used to wrap the exponent byte to 0 (black).
        Pixel_case{"PowerOfTwo127Saturates", 1.7014118e38f, 0.f, 0.f, {255, 0, 0, 255}},
        Pixel_case{"LargestFloatSaturates", k_max, 1e38f, 0.f, {255, 150, 0, 255}},
        Pixel_case{"SaturationKeepsSmallChannels", k_max, 6.7e35f, 0.f, {255, 1, 0, 255}},
        Pixel_case{"InfinitySaturates", k_inf, 1.f, 0.f, {255, 0, 0, 255}},
        Pixel_case{"NanCountsAsZero", k_nan, 1.0f, 0.5f, {0, 128, 64, 129}},
        Pixel_case{"AllNanIsBlack", k_nan, k_nan, k_nan, {0, 0, 0, 0}},
        Pixel_case{"NegativeCountsAsZero", -4.f, 1.0f, 0.f, {0, 128, 0, 129}}),
    [](const ::testing::TestParamInfo<Pixel_case>& info) { return std::string(info.param.name); });

TEST(FloatToRgbe, AgreesWithFrexpFormula) {
  // The factor is built from exponent bits; it must equal frexp(v) * 256 / v everywhere.
  for (float v = 1e-32f; v < 1e38f; v *= 1.37f) {
    for (float frac : {1.f, 0.77f, 0.31f, 0.0049f}) {
      int e;
      const float m = float(std::frexp(v, &e) * 256.0 / v);
      const Bytes expected = {int((unsigned char)(v * m)), int((unsigned char)(v * frac * m)), 0,
                              e + 128};
      ASSERT_EQ(encode(v, v * frac, 0.f), expected) << v << " " << frac;
    }
  }
}

TEST(RgbeWriteHeader, ExactText) {
  EXPECT_EQ(written([](std::FILE* f) { return rgbe_write_header(f, 3, 2); }),
            "#?RGBE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 3\n");
}

TEST(RgbeWriteHeader, HeaderInfoLines) {
  Rgbe_header_info info;
  info.valid = k_rgbe_valid_programtype | k_rgbe_valid_gamma | k_rgbe_valid_exposure;
  std::snprintf(info.programtype, sizeof info.programtype, "RADIANCE");
  info.gamma = 2.2f;
  info.exposure = 0.5f;
  EXPECT_EQ(written([&](std::FILE* f) { return rgbe_write_header(f, 640, 480, &info); }),
            "#?RADIANCE\nGAMMA=2.2\nEXPOSURE=0.5\nFORMAT=32-bit_rle_rgbe\n\n-Y 480 +X 640\n");
  info.valid = 0;
  EXPECT_EQ(written([&](std::FILE* f) { return rgbe_write_header(f, 1, 1, &info); }),
            "#?RGBE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 1\n");
}

TEST(RgbeWritePixelsRle, UniformScanlineIsOneRunPerComponent) {
  std::vector<float> rgb;
  for (int i = 0; i < 10; ++i) rgb.insert(rgb.end(), {1.0f, 0.5f, 0.25f});
  EXPECT_EQ(rle(rgb, 10, 1), bytes_of({2, 2, 0, 10, 138, 128, 138, 64, 138, 32, 138, 129}));
}

// Builds a width-wide single scanline whose red bytes are the given mantissas (green and
// blue 0, exponent 136, so red byte = value exactly).
std::vector<float> red_row(const std::vector<int>& reds) {
  std::vector<float> rgb;
  for (int r : reds) rgb.insert(rgb.end(), {float(r) + 0.5f, 0.f, 0.f});
  return rgb;
}

TEST(RgbeWritePixelsRle, RunRules) {
  struct Case {
    std::vector<int> red;
    std::string red_code;
  };
  // Mantissas >= 128 keep the exponent at 136 for every pixel.
  const Case cases[] = {
      // A short repeat reaching exactly to a long run becomes a run pair.
      {{130, 130, 140, 140, 140, 140, 150, 160}, bytes_of({130, 130, 132, 140, 2, 150, 160})},
      // Three equal bytes before the run: pair (131, byte).
      {{130, 130, 130, 140, 140, 140, 140, 200}, bytes_of({131, 130, 132, 140, 1, 200})},
      // A repeat not adjacent to the current position stays literal.
      {{200, 130, 130, 140, 140, 140, 140, 200}, bytes_of({3, 200, 130, 130, 132, 140, 1, 200})},
      // No run of 4: one literal block, the trailing repeat of 3 included.
      {{129, 130, 131, 132, 133, 150, 150, 150},
       bytes_of({8, 129, 130, 131, 132, 133, 150, 150, 150})},
      // A repeat of 2 from the current position to the end is a pair.
      {{129, 130, 140, 140, 140, 140, 150, 150}, bytes_of({2, 129, 130, 132, 140, 130, 150})},
  };
  for (const Case& c : cases) {
    const std::string out = rle(red_row(c.red), 8, 1);
    const std::string expected = bytes_of({2, 2, 0, 8}) + c.red_code + bytes_of({136, 0}) +
                                 bytes_of({136, 0}) + bytes_of({136, 136});
    EXPECT_EQ(out, expected);
  }
}

TEST(RgbeWritePixelsRle, LongStretchesSplit) {
  // 300 distinct-neighbour bytes: literal blocks of 128, 128, 44; 300 equal: runs of 127.
  std::vector<int> alternating, equal(300, 200);
  for (int i = 0; i < 300; ++i) alternating.push_back(128 + (i % 2));
  std::string lit = bytes_of({2, 2, 1, 44, 128});
  for (int i = 0; i < 128; ++i) lit += char(128 + i % 2);
  lit += char(128);
  for (int i = 128; i < 256; ++i) lit += char(128 + i % 2);
  lit += char(44);
  for (int i = 256; i < 300; ++i) lit += char(128 + i % 2);
  const std::string runs_0 = bytes_of({255, 0, 255, 0, 174, 0});
  EXPECT_EQ(rle(red_row(alternating), 300, 1),
            lit + runs_0 + runs_0 + bytes_of({255, 136, 255, 136, 174, 136}));
  EXPECT_EQ(rle(red_row(equal), 300, 1), bytes_of({2, 2, 1, 44, 255, 200, 255, 200, 174, 200}) +
                                             runs_0 + runs_0 +
                                             bytes_of({255, 136, 255, 136, 174, 136}));
}

TEST(RgbeWritePixelsRle, NarrowAndWideScanlinesAreFlat) {
  for (uint32_t width : {1u, 7u, 32768u}) {
    std::vector<float> rgb;
    for (uint32_t i = 0; i < width * 2; ++i) rgb.insert(rgb.end(), {1.0f, 0.5f, 0.25f});
    std::string expected;
    for (uint32_t i = 0; i < width * 2; ++i) expected += bytes_of({128, 64, 32, 129});
    EXPECT_EQ(rle(rgb, width, 2), expected) << width;
  }
}

TEST(WriteRgbe, ThreeByTwoFileIsHeaderThenFlatPixels) {
  Temp_dir dir;
  Hdr_image img(3, 2, 1, 3, 0.f);
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 2; ++y) {
      img(x, y, 0, 0) = 1.0f;
      img(x, y, 0, 1) = 0.5f;
      img(x, y, 0, 2) = 0.25f;
    }
  img(2, 1, 0, 0) = 2.0f;
  write_rgbe(img, dir.file("a.hdr"));
  std::string expected = "#?RGBE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 3\n";
  for (int i = 0; i < 5; ++i) expected += bytes_of({128, 64, 32, 129});
  expected += bytes_of({128, 32, 16, 130});
  EXPECT_EQ(read_file_bytes(dir.file("a.hdr")), expected);
}

TEST(WriteRgbe, MissingFolderThrows) {
  Temp_dir dir;
  Hdr_image img(8, 1, 1, 3, 1.f);
  try {
    write_rgbe(img, dir.file("none/a.hdr"));
    FAIL() << "no exception";
  } catch (const Write_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open image file for writing: " + dir.file("none/a.hdr"));
  }
}

TEST(RgbePixelWriters, FullDiskIsReported) {
  // /dev/full accepts the open and fails every write that reaches it.
  for (uint32_t width : {4u, 64u}) {
    std::FILE* f = std::fopen("/dev/full", "wb");
    if (!f) GTEST_SKIP() << "no /dev/full";
    std::setvbuf(f, nullptr, _IONBF, 0);
    std::vector<float> rgb(width * 64 * 3, 1.f);
    EXPECT_EQ(rgbe_write_header(f, width, 64), -1);
    EXPECT_EQ(rgbe_write_pixels_rle(f, rgb.data(), width, 64), -1) << width;
    std::fclose(f);
  }
}

}  // namespace

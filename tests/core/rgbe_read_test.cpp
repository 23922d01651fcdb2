#include "core/rgbe_read.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/event_pump.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_load.h"
#include "tests/support/rgbe_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<Rgbe_pixel> pattern(uint32_t width, uint32_t height) {
  std::vector<Rgbe_pixel> px;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x)
      // Runs of equal bytes on some rows, varied bytes on others.
      px.push_back({uint8_t(y % 2 ? 200 : x * 7), uint8_t(x / 3 * 11), uint8_t(128 + y),
                    uint8_t(120 + (x + y) % 20)});
  return px;
}

float expected_channel(uint8_t mantissa, uint8_t exponent) {
  return exponent == 0 ? 0.f : float(mantissa) * float(std::ldexp(1.0, exponent - 136));
}

void expect_pixels(const Hdr_image& img, const std::vector<Rgbe_pixel>& px) {
  ASSERT_EQ(img.spectrum(), 3);
  ASSERT_EQ(px.size(), img.plane_size());
  const uint64_t n = img.plane_size();
  for (uint64_t i = 0; i < n; ++i)
    for (int c = 0; c < 3; ++c)
      ASSERT_EQ(img.data()[i + c * n], expected_channel(px[i][c], px[i][3])) << i << " " << c;
}

std::string load_error(const std::string& path) {
  try {
    Hdr_image img;
    read_rgbe(img, path);
  } catch (const Read_error& e) {
    return e.what();
  }
  return "no error";
}

class RgbeRead : public ::testing::Test {
 protected:
  std::string write(const std::string& bytes) {
    const std::string path = dir.file("f.hdr");
    write_file_bytes(path, bytes);
    return path;
  }
  Temp_dir dir;
};

TEST_F(RgbeRead, PixelConversion) {
  const std::string path = write(rgbe_header(rgbe_resolution(3, 1)) +
                                 rgbe_flat({{128, 64, 32, 129}, {255, 17, 3, 0}, {1, 2, 3, 255}}));
  Hdr_image img;
  read_rgbe(img, path);
  ASSERT_EQ(img.width(), 3);
  EXPECT_EQ(img(0, 0, 0, 0), 1.0f);
  EXPECT_EQ(img(0, 0, 0, 1), 0.5f);
  EXPECT_EQ(img(0, 0, 0, 2), 0.25f);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(img(1, 0, 0, c), 0.f);  // zero exponent: black
  EXPECT_EQ(img(2, 0, 0, 2), 3.f * std::ldexp(1.f, 119));
}

TEST_F(RgbeRead, FormatLineIsNotChecked) {
  const auto px = pattern(3, 2);
  const std::string path =
      write(rgbe_header("-Y 2 +X 3", "#?RADIANCE\nFORMAT=32-bit_rle_xyze\n") + rgbe_flat(px));
  Hdr_image img;
  read_rgbe(img, path);
  EXPECT_EQ(img.width(), 3);
  EXPECT_EQ(img.height(), 2);
  expect_pixels(img, px);
}

struct Layout_case {
  const char* name;
  uint32_t width, height;
  bool rle;
};

class RgbeLayouts : public RgbeRead, public ::testing::WithParamInterface<Layout_case> {};

TEST_P(RgbeLayouts, DecodesEveryPixel) {
  const Layout_case& c = GetParam();
  const auto px = pattern(c.width, c.height);
  Hdr_image img;
  read_rgbe(img, write(rgbe_file(c.width, c.height, px, c.rle)));
  EXPECT_EQ(img.width(), int(c.width));
  EXPECT_EQ(img.height(), int(c.height));
  expect_pixels(img, px);
}

INSTANTIATE_TEST_SUITE_P(All, RgbeLayouts,
                         ::testing::Values(Layout_case{"flat_narrow", 7, 3, false},
                                           Layout_case{"flat_wide", 300, 4, false},
                                           Layout_case{"rle_min_width", 8, 5, true},
                                           Layout_case{"rle_long_runs", 400, 3, true},
                                           Layout_case{"rle_max_width", 0x7fff, 1, true},
                                           Layout_case{"flat_over_rle_width", 0x8000, 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RgbeRead, NarrowImageIsReadFlatEvenWithMarkerBytes) {
  // 7 wide: a pixel 2,2,0,7 is an ordinary pixel.
  std::vector<Rgbe_pixel> px(7, Rgbe_pixel{2, 2, 0, 7});
  px[3] = {9, 9, 9, 130};
  Hdr_image img;
  read_rgbe(img, write(rgbe_file(7, 1, px, false)));
  expect_pixels(img, px);
}

TEST_F(RgbeRead, SwitchesToFlatAtFirstUnencodedScanline) {
  const auto px = pattern(10, 3);
  // First scanline encoded, the rest flat.
  const std::string bytes = rgbe_header(rgbe_resolution(10, 3)) + rgbe_rle_scanline(px.data(), 10) +
                            rgbe_flat(std::vector<Rgbe_pixel>(px.begin() + 10, px.end()));
  Hdr_image img;
  read_rgbe(img, write(bytes));
  expect_pixels(img, px);
}

TEST_F(RgbeRead, HeaderLinesOfAnyLength) {
  const auto px = pattern(9, 2);
  const std::string comment = "# " + std::string(5000, 'x') + "\n";
  Hdr_image img;
  read_rgbe(img, write(rgbe_header(rgbe_resolution(9, 2),
                                   "#?RADIANCE\n" + comment + "FORMAT=32-bit_rle_rgbe\n") +
                       rgbe_rle_scanline(px.data(), 9) + rgbe_rle_scanline(px.data() + 9, 9)));
  expect_pixels(img, px);
}

TEST_F(RgbeRead, PumpsEventsPerScanline) {
  static int pumps;
  pumps = 0;
  const Event_pump_fn previous = set_event_pump([] { ++pumps; });
  const auto px = pattern(16, 6);
  Hdr_image img;
  read_rgbe(img, write(rgbe_file(16, 6, px, true)));
  set_event_pump(previous);
  EXPECT_EQ(pumps, 6);
}

struct Bad_case {
  const char* name;
  std::string bytes;
  const char* error;
};

class RgbeBadFiles : public RgbeRead, public ::testing::WithParamInterface<Bad_case> {};

const char* const k_header_error = "Cannot read rgbe header from file: ";
const char* const k_pixels_error = "Cannot read rgbe pixels from file: ";

TEST_P(RgbeBadFiles, FailWithReadError) {
  const std::string path = write(GetParam().bytes);
  EXPECT_EQ(load_error(path), GetParam().error + path);
}

std::string rle_row_with(const std::string& component_bytes) {
  // Width 8: the red component from the given bytes, the others as runs of 8.
  return rgbe_raw({2, 2, 0, 8}) + component_bytes + rgbe_raw({136, 1, 136, 1, 136, 130});
}

INSTANTIATE_TEST_SUITE_P(
    All, RgbeBadFiles,
    ::testing::Values(
        Bad_case{"bottom_up", rgbe_header("+Y 2 +X 3") + std::string(24, 'a'), k_header_error},
        Bad_case{"mirrored", rgbe_header("-Y 2 -X 3") + std::string(24, 'a'), k_header_error},
        Bad_case{"zero_width", rgbe_header("-Y 2 +X 0"), k_header_error},
        Bad_case{"negative_height", rgbe_header("-Y -2 +X 3"), k_header_error},
        Bad_case{"product_too_large", rgbe_header("-Y 65536 +X 65537"), k_header_error},
        Bad_case{"overflowing_number", rgbe_header("-Y 99999999999999999999 +X 3"), k_header_error},
        Bad_case{"no_blank_line", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n", k_header_error},
        Bad_case{"empty", "", k_header_error},
        Bad_case{"no_resolution", "#?RADIANCE\n\n", k_header_error},
        Bad_case{"short_flat", rgbe_header(rgbe_resolution(3, 2)) + std::string(23, 'a'),
                 k_pixels_error},
        Bad_case{"wrong_scanline_width",
                 rgbe_header(rgbe_resolution(8, 1)) + rgbe_raw({2, 2, 0, 9}) + std::string(40, 'a'),
                 k_pixels_error},
        Bad_case{"zero_count", rgbe_header(rgbe_resolution(8, 1)) + rle_row_with(rgbe_raw({0, 5})),
                 k_pixels_error},
        Bad_case{"run_past_component",
                 rgbe_header(rgbe_resolution(8, 1)) + rle_row_with(rgbe_raw({137, 5})),
                 k_pixels_error},
        Bad_case{"literal_past_component",
                 rgbe_header(rgbe_resolution(8, 1)) +
                     rle_row_with(rgbe_raw({4, 1, 2, 3, 4, 5, 1, 2, 3, 4})),
                 k_pixels_error},
        Bad_case{"truncated_scanline",
                 rgbe_header(rgbe_resolution(8, 1)) + rgbe_raw({2, 2, 0, 8, 136, 1, 136}),
                 k_pixels_error},
        Bad_case{"missing_scanline",
                 rgbe_header(rgbe_resolution(8, 2)) + rle_row_with(rgbe_raw({136, 7})),
                 k_pixels_error}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RgbeRead, MissingFile) {
  const std::string path = dir.file("none.hdr");
  EXPECT_EQ(load_error(path), "Cannot load rgbe image from file: " + path);
}

TEST_F(RgbeRead, HeaderInfoReadsProgramGammaExposure) {
  const std::string path = write(rgbe_header(
      "-Y 1 +X 2", "#?RADIANCE_AND_MORE_THAN_15 x\nGAMMA=2.2\nEXPOSURE=0.5\nFORMAT=x\n"));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(f);
  uint32_t w = 0, h = 0;
  Rgbe_header_info info;
  EXPECT_EQ(rgbe_read_header(f, w, h, &info), 0);
  std::fclose(f);
  EXPECT_EQ(w, 2u);
  EXPECT_EQ(h, 1u);
  EXPECT_STREQ(info.programtype, "RADIANCE_AND_MO");
  EXPECT_EQ(info.valid, k_rgbe_valid_programtype | k_rgbe_valid_gamma | k_rgbe_valid_exposure);
  EXPECT_FLOAT_EQ(info.gamma, 2.2f);
  EXPECT_FLOAT_EQ(info.exposure, 0.5f);
}

TEST_F(RgbeRead, LoadImageSetsTypeAndThreeChannels) {
  const auto px = pattern(12, 2);
  Hdr_image img;
  load_image(img, write(rgbe_file(12, 2, px, true)), k_type_rgbe);
  EXPECT_EQ(img.type, uint32_t(k_type_rgbe));
  expect_pixels(img, px);
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "core/color_space.h"
#include "core/hdr_image.h"
#include "tests/support/image_compare.h"

namespace {

Hdr_image pixel(float a, float b, float c) {
  Hdr_image image(1, 1, 1, 3, 0.f);
  image(0, 0, 0, 0) = a;
  image(0, 0, 0, 1) = b;
  image(0, 0, 0, 2) = c;
  return image;
}

struct Pair_case {
  const char* name;
  uint32_t from, to;
  float scale, gain;
  float in[3];
  double out[3];  // NAN where powf gives NaN
};

class ColorSpacePairs : public ::testing::TestWithParam<Pair_case> {};

TEST_P(ColorSpacePairs, Values) {
  const Pair_case& c = GetParam();
  Color_space_params params;
  params.from = c.from;
  params.to = c.to;
  params.scale = c.scale;
  params.gain = c.gain;
  const Hdr_image source = pixel(c.in[0], c.in[1], c.in[2]);
  Hdr_image dest(1, 1, 1, 3, -7.f);
  transform_color_space(params, source, dest);
  for (int k = 0; k < 3; ++k) {
    if (std::isnan(c.out[k]))
      EXPECT_TRUE(std::isnan(dest(0, 0, 0, k))) << "plane " << k;
    else
      EXPECT_NEAR(dest(0, 0, 0, k), c.out[k], 1e-4 * std::max(1.0, std::fabs(c.out[k])))
          << "plane " << k;
  }
}

const double k_g = std::pow(0.5, 2.2);  // display value 0.5 linearised

INSTANTIATE_TEST_SUITE_P(
    Cases, ColorSpacePairs,
    ::testing::Values(
        Pair_case{"LinearToXyz", 1, 2, 1, 1, {1, 0, 0}, {0.4124, 0.2126, 0.0193}},
        Pair_case{"LinearWhiteToXyz", 1, 2, 1, 1, {1, 1, 1}, {0.9505, 1.0, 1.089}},
        Pair_case{
            "DisplayToXyz", 0, 2, 1, 1, {0.5f, 0, 0}, {0.4124 * k_g, 0.2126 * k_g, 0.0193 * k_g}},
        // Scale 2 halves the display values before they are linearised.
        Pair_case{"DisplayToXyzScaled",
                  0,
                  2,
                  2,
                  1,
                  {1, 0, 0},
                  {0.4124 * k_g, 0.2126 * k_g, 0.0193 * k_g}},
        Pair_case{"LinearToXyzGain", 1, 2, 1, 3, {0, 1, 0}, {3 * 0.3576, 3 * 0.7152, 3 * 0.1192}},
        Pair_case{"LinearToYxy", 1, 3, 1, 1, {1, 1, 1}, {1.0, 0.9505 / 3.0395, 1.0 / 3.0395}},
        Pair_case{"BlackToYxy", 1, 3, 1, 1, {0, 0, 0}, {0, 0, 0}},
        Pair_case{
            "DisplayToYxy", 0, 3, 1, 1, {0.5f, 0.5f, 0.5f}, {k_g, 0.9505 / 3.0395, 1.0 / 3.0395}},
        Pair_case{"LinearToLms", 1, 4, 1, 1, {1, 0, 0}, {0.3057, 0.1577, 0.0193}},
        Pair_case{
            "DisplayToLms", 0, 4, 1, 1, {0, 0, 0.5f}, {0.0453 * k_g, 0.0881 * k_g, 0.9505 * k_g}},
        Pair_case{"XyzWhiteToDisplay",
                  2,
                  0,
                  1,
                  1,
                  {0.9505f, 1.0f, 1.089f},
                  {std::pow(3.2405 * 0.9505 - 1.5372 - 0.4985 * 1.089, 0.45),
                   std::pow(-0.9693 * 0.9505 + 1.876 + 0.0416 * 1.089, 0.45),
                   std::pow(0.0556 * 0.9505 - 0.204 + 1.0573 * 1.089, 0.45)}},
        // A negative linear value has no power 0.45.
        Pair_case{"XyzToDisplayNegative",
                  2,
                  0,
                  1,
                  1,
                  {1, 0, 0},
                  {std::pow(3.2405, 0.45), NAN, std::pow(0.0556, 0.45)}},
        Pair_case{"LabWhite", 6, 2, 1, 1, {100, 0, 0}, {0.9504, 1.0, 1.0889}},
        Pair_case{"LabBlack", 6, 2, 1, 1, {0, 0, 0}, {0, 0, 0}},
        Pair_case{"LabDarkLinearSegment",
                  6,
                  2,
                  1,
                  1,
                  {5, 0, 0},
                  {0.9504 * (116 * (21.0 / 116) - 16) / 903.3, 5 / 903.3,
                   1.0889 * (116 * (21.0 / 116) - 16) / 903.3}},
        Pair_case{"LabMid",
                  6,
                  2,
                  1,
                  1,
                  {50, 20, -10},
                  {0.9504 * std::pow(20.0 / 500 + 66.0 / 116, 3), std::pow(66.0 / 116, 3),
                   1.0889 * std::pow(66.0 / 116 + 10.0 / 200, 3)}},
        Pair_case{"LchToLab", 7, 6, 1, 1, {50, 10, 90}, {50, 0, 10}},
        Pair_case{"LchToLabHalfTurn", 7, 6, 1, 1, {20, 4, 180}, {20, -4, 0}},
        Pair_case{"HsvWhite", 8, 0, 1, 1, {0, 0, 1}, {255, 255, 255}},
        Pair_case{"HsvGreen", 8, 0, 1, 1, {120, 1, 1}, {0, 255, 0}},
        Pair_case{"HsvBlue", 8, 0, 1, 1, {240, 1, 1}, {0, 0, 255}},
        Pair_case{"HsvSectorFive", 8, 0, 1, 1, {300, 1, 0.5f}, {127.5, 0, 127.5}},
        Pair_case{"HsvOrange", 8, 0, 1, 1, {30, 1, 1}, {255, 127.5, 0}},
        Pair_case{"HsvClamped", 8, 0, 1, 1, {0, 0, 2}, {255, 255, 255}},
        // Hues outside [0, 360) wrap round.
        Pair_case{"HsvHueWraps", 8, 0, 1, 1, {420, 1, 1}, {255, 255, 0}},
        Pair_case{"HsvNegativeHue", 8, 0, 1, 1, {-60, 1, 1}, {255, 0, 255}}),
    [](const ::testing::TestParamInfo<Pair_case>& info) { return std::string(info.param.name); });

struct Untouched_case {
  uint32_t from, to;
};

class UnsupportedPairs : public ::testing::TestWithParam<Untouched_case> {};

TEST_P(UnsupportedPairs, LeaveTheDestinationAlone) {
  Color_space_params params;
  params.from = GetParam().from;
  params.to = GetParam().to;
  const Hdr_image source = pixel(0.2f, 0.4f, 0.6f);
  Hdr_image dest(1, 1, 1, 3, -7.f);
  const Hdr_image before = dest;
  transform_color_space(params, source, dest);
  EXPECT_TRUE(images_match(before, dest));
  // Even a destination of another size is left alone, without complaint.
  Hdr_image other(3, 2, 1, 3, -7.f);
  EXPECT_NO_THROW(transform_color_space(params, source, other));
}

INSTANTIATE_TEST_SUITE_P(Cases, UnsupportedPairs,
                         ::testing::Values(Untouched_case{2, 3}, Untouched_case{4, 0},
                                           Untouched_case{0, 0}, Untouched_case{1, 1},
                                           Untouched_case{1, 9}, Untouched_case{9, 0},
                                           Untouched_case{3, 2}, Untouched_case{5, 2},
                                           Untouched_case{2, 6}, Untouched_case{6, 7},
                                           Untouched_case{0, 8}, Untouched_case{100, 2}));

TEST(ColorSpace, SizeMismatchIsRefusedBeforeWriting) {
  Color_space_params params;
  params.from = k_space_rgb_linear;
  params.to = k_space_xyz;
  const Hdr_image source(4, 4, 1, 3, 1.f);
  Hdr_image small(2, 2, 1, 3, -7.f);
  EXPECT_THROW(transform_color_space(params, source, small), std::invalid_argument);
  for (uint64_t i = 0; i < small.size(); ++i) EXPECT_EQ(small.data()[i], -7.f);
  Hdr_image grey(4, 4, 1, 1, -7.f);
  EXPECT_THROW(transform_color_space(params, source, grey), std::invalid_argument);
}

TEST(ColorSpace, SourceIsOnlyRead) {
  Color_space_params params;
  params.from = k_space_rgb_gamma;
  params.to = k_space_xyz;
  params.scale = 2.f;
  const Hdr_image source = pixel(0.2f, 0.4f, 0.6f);
  const Hdr_image before = source;
  Hdr_image dest(1, 1, 1, 3, 0.f);
  transform_color_space(params, source, dest);
  EXPECT_TRUE(images_match(before, source));
}

TEST(ColorSpace, Helpers) {
  float a[] = {1, -2, 4}, b[] = {8, 0.5f, NAN}, c[] = {300, -300, 2};
  clamp_planes(a, b, c, 3, 0.f, 255.f);
  EXPECT_EQ(a[1], 0.f);
  EXPECT_TRUE(std::isnan(b[2]));
  EXPECT_EQ(c[0], 255.f);
  EXPECT_EQ(c[1], 0.f);
  apply_gain(a, b, c, 3, 2.f);
  EXPECT_EQ(a[2], 8.f);
  divide_by_scale(a, b, c, 3, 4.f);
  EXPECT_EQ(a[2], 2.f);
  pow_planes(a, b, c, 3, 2.f);
  EXPECT_EQ(a[2], 4.f);
  EXPECT_EQ(b[0], 16.f);
}

}  // namespace

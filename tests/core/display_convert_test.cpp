#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/display_convert.h"
#include "core/display_gamma.h"

namespace {

const float k_nan = std::numeric_limits<float>::quiet_NaN();
const float k_inf = std::numeric_limits<float>::infinity();

float g_gamma = 2.2f;
float test_gamma() { return g_gamma; }

// Installs a gamma for the duration of a test.
class Gamma_guard {
 public:
  explicit Gamma_guard(float gamma) {
    g_gamma = gamma;
    set_display_gamma_source(test_gamma);
  }
  ~Gamma_guard() { set_display_gamma_source(nullptr); }
};

Hdr_image grey_row(const std::vector<float>& values) {
  Hdr_image image(uint32_t(values.size()), 1, 1, 3, 0.f);
  for (size_t i = 0; i < values.size(); ++i)
    for (int c = 0; c < 3; ++c) image(uint32_t(i), 0, 0, c) = values[i];
  return image;
}

struct Entry_case {
  float gamma;
  uint32_t index;
  int byte;
};

class GammaTableEntries : public ::testing::TestWithParam<Entry_case> {};

TEST_P(GammaTableEntries, Byte) {
  const Entry_case& c = GetParam();
  EXPECT_EQ(int(gamma_table_entry(c.index, c.gamma)), c.byte);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GammaTableEntries,
    ::testing::Values(Entry_case{1.f, 0, 0}, Entry_case{1.f, 100, 3}, Entry_case{1.f, 5000, 128},
                      Entry_case{1.f, 9999, 255}, Entry_case{2.2f, 1, 4}, Entry_case{2.2f, 10, 11},
                      Entry_case{2.2f, 1000, 90}, Entry_case{2.2f, 5000, 186},
                      Entry_case{2.2f, 9999, 255}, Entry_case{1.8f, 2500, 118},
                      Entry_case{1.8f, 5000, 174},
                      // Gammas that are no positive finite number fall back to 2.2.
                      Entry_case{0.f, 5000, 186}, Entry_case{-1.f, 5000, 186},
                      Entry_case{k_nan, 1000, 90}, Entry_case{k_inf, 5000, 186}));

// The whole planar table through the conversion: value i shows as
// floor(255 (i / 9999)^(1 / gamma) + 0.5), the top of the display range at 255. Indices
// whose exact value lies within 1e-3 of a rounding boundary are left out (float and double
// may round them either way).
TEST(DisplayConvert, EveryTableEntryIsTheGammaCurveOverTheDisplayRange) {
  std::vector<float> values(10000);
  for (uint32_t i = 0; i < 10000; ++i) values[i] = float(i);
  const Hdr_image image = grey_row(values);
  for (const float g : {2.2f, 1.8f, 1.f}) {
    Gamma_guard gamma(g);
    Rgb8_image out;
    to_display_rgb8(image, out, k_type_exr);
    int checked = 0;
    for (uint32_t i = 0; i < 10000; ++i) {
      const double exact = 255.0 * std::pow(i / 9999.0, 1.0 / double(g)) + 0.5;
      const double fraction = exact - std::floor(exact);
      if (fraction < 1e-3 || fraction > 1.0 - 1e-3) continue;
      ++checked;
      ASSERT_EQ(int(out(i, 0, 0, 0)), int(std::floor(exact))) << "gamma " << g << " index " << i;
      ASSERT_EQ(int(out(i, 0, 0, 2)), int(std::floor(exact))) << "gamma " << g << " index " << i;
    }
    EXPECT_GT(checked, 9900) << g;
    EXPECT_EQ(int(out(9999, 0, 0, 1)), 255);
  }
}

struct Pixel_case {
  uint32_t type;
  float value;
  int byte;
};

class DisplayBytes : public ::testing::TestWithParam<Pixel_case> {};

// Gamma 1 makes the table index visible in the byte: index i gives trunc(i/9999*255+0.5).
TEST_P(DisplayBytes, PlanarAndInterleavedAgree) {
  const Pixel_case& c = GetParam();
  Gamma_guard gamma(1.f);
  Hdr_image image(1, 1, 1, 3, 0.f);
  image(0, 0, 0, 0) = c.value;
  image(0, 0, 0, 1) = 0.f;
  image(0, 0, 0, 2) = c.value;
  Rgb8_image out;
  to_display_rgb8(image, out, c.type);
  ASSERT_EQ(out.spectrum(), 3);
  EXPECT_EQ(int(out(0, 0, 0, 0)), c.byte);
  EXPECT_EQ(int(out(0, 0, 0, 1)), 0);
  EXPECT_EQ(int(out(0, 0, 0, 2)), c.byte);

  // The interleaved table keeps the gamma of its first use; only check it where every
  // gamma gives the same byte, or for 8-bit types, which use no gamma.
  if (!is_hdr_type(c.type) || c.byte == 0 || c.byte == 255) {
    uint8_t bytes[3] = {7, 7, 7};
    to_display_rgb8_interleaved(bytes, image, c.type);
    EXPECT_EQ(int(bytes[0]), c.byte);
    EXPECT_EQ(int(bytes[1]), 0);
    EXPECT_EQ(int(bytes[2]), c.byte);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayBytes,
    ::testing::Values(Pixel_case{k_type_exr, 0.f, 0}, Pixel_case{k_type_exr, 9999.f, 255},
                      Pixel_case{k_type_rgbe, 1e30f, 255}, Pixel_case{k_type_new_hdr, k_inf, 255},
                      Pixel_case{k_type_tiff_float, k_nan, 0}, Pixel_case{k_type_exr, -5.f, 0},
                      Pixel_case{k_type_exr, -k_inf, 0},
                      Pixel_case{k_type_exr, 4999.5f, 128},      // index 5000
                      Pixel_case{k_type_exr, 4999.49f, 127},     // index 4999
                      Pixel_case{k_type_tiff_logluv, 99.5f, 3},  // index 100
                      Pixel_case{k_type_png, 254.6f, 255}, Pixel_case{k_type_jpeg, -3.f, 0},
                      Pixel_case{k_type_tiff8, 100.49f, 100},
                      Pixel_case{k_type_new_ldr, 100.5f, 101}, Pixel_case{k_type_png, 300.f, 255},
                      Pixel_case{k_type_png, k_nan, 0},
                      Pixel_case{k_type_unassigned, 0.49999997f, 0}));

TEST(DisplayConvert, PlanarTableFollowsTheGamma) {
  const Hdr_image image = grey_row({5000.f});
  Rgb8_image out;
  {
    Gamma_guard gamma(1.f);
    to_display_rgb8(image, out, k_type_exr);
    EXPECT_EQ(int(out(0, 0, 0, 0)), 128);
  }
  {
    Gamma_guard gamma(2.2f);
    to_display_rgb8(image, out, k_type_exr);
    EXPECT_EQ(int(out(0, 0, 0, 0)), 186);
  }
  {
    Gamma_guard gamma(1.8f);
    to_display_rgb8(image, out, k_type_exr);
    EXPECT_EQ(int(out(0, 0, 0, 0)), 174);
  }
}

// A gamma of 0, negative or NaN would put inf or NaN into the table's byte conversion.
TEST(DisplayConvert, UnusableGammaDisplaysWithTheDefault) {
  const Hdr_image image = grey_row({5000.f, 1000.f});
  for (const float g : {0.f, -2.f, k_nan, k_inf}) {
    Gamma_guard gamma(g);
    Rgb8_image out;
    to_display_rgb8(image, out, k_type_exr);
    EXPECT_EQ(int(out(0, 0, 0, 0)), 186) << g;
    EXPECT_EQ(int(out(1, 0, 0, 0)), 90) << g;
  }
}

TEST(DisplayConvert, InterleavedTableKeepsItsFirstGamma) {
  const Hdr_image image = grey_row({5000.f, 1000.f});
  uint8_t first[6], later[6];
  to_display_rgb8_interleaved(first, image, k_type_exr);
  const bool was_1 = first[0] == 128;
  Gamma_guard gamma(was_1 ? 2.2f : 1.f);
  to_display_rgb8_interleaved(later, image, k_type_exr);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(first[i], later[i]) << i;
}

TEST(DisplayConvert, InterleavedOrderIsRgbPerPixel) {
  Hdr_image image(2, 1, 1, 3, 0.f);
  const float v[2][3] = {{10, 20, 30}, {40, 50, 60}};
  for (int x = 0; x < 2; ++x)
    for (int c = 0; c < 3; ++c) image(x, 0, 0, c) = v[x][c];
  uint8_t bytes[6];
  to_display_rgb8_interleaved(bytes, image, k_type_png);
  EXPECT_EQ(std::vector<int>(bytes, bytes + 6), (std::vector<int>{10, 20, 30, 40, 50, 60}));
}

TEST(DisplayConvert, OutputIsSizedToTheImage) {
  Hdr_image image(3, 2, 1, 3, 100.f);
  Rgb8_image out(1, 1, 1, 1, 0);
  to_display_rgb8(image, out, k_type_png);
  EXPECT_EQ(out.width(), 3);
  EXPECT_EQ(out.height(), 2);
  EXPECT_EQ(out.spectrum(), 3);
  EXPECT_EQ(int(out(2, 1, 0, 2)), 100);
  Hdr_image empty;
  to_display_rgb8(empty, out, k_type_exr);
  EXPECT_TRUE(out.is_empty());
}

Hdr_image luminances(uint32_t n, float (*value)(uint32_t)) {
  std::vector<float> v(n);
  for (uint32_t i = 0; i < n; ++i) v[i] = value(i);
  return grey_row(v);
}

// 1000 pixels, in a scrambled order, whose percentiles p = 0..100 (sorted index about
// 10 p - 1) have the level 1 + max(p, 100 - steps): flat up to p = 100 - steps, then one
// level higher at every percentile, so exactly steps percentiles rise above the one
// before. Between percentiles the value is that of the nearest one above.
Hdr_image rising_steps(int steps) {
  std::vector<float> sorted(1000), v(1000);
  for (int j = 0; j < 1000; ++j) sorted[size_t(j)] = float(1 + std::max((j + 6) / 10, 100 - steps));
  for (int i = 0; i < 1000; ++i) v[size_t(i)] = sorted[size_t((i * 37) % 1000)];
  return grey_row(v);
}

struct Scale_case {
  const char* name;
  Hdr_image image;
  float reference;
};

class DisplayScale : public ::testing::TestWithParam<Scale_case> {};

TEST_P(DisplayScale, Reference) {
  const Scale_case& c = GetParam();
  EXPECT_FLOAT_EQ(display_scale(c.image), float(9999.0 / (double(c.reference) + 1e-12)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayScale,
    ::testing::Values(
        // One level: no steps, the maximum.
        Scale_case{"Uniform", grey_row({3.f, 3.f, 3.f, 3.f}), 3.f},
        // 1..100 in shuffled order: richly graded, the 92nd value.
        Scale_case{"OneToHundred",
                   luminances(100, [](uint32_t i) { return float((i * 37) % 100 + 1); }), 92.f},
        // 40 equal darks then 60 levels: between 51 and 90 steps, the 97th value.
        Scale_case{"SixtyLevels",
                   luminances(100, [](uint32_t i) { return i < 40 ? 1.f : float(i + 1); }), 97.f},
        // Two levels: the maximum.
        Scale_case{"Posterised", luminances(100, [](uint32_t i) { return i < 50 ? 1.f : 8.f; }),
                   8.f},
        // Boundaries of the step count on 1000 pixels (rising steps exactly 91, 90, 51, 50):
        // 92nd value 93, 97th value 98, maximum 101.
        Scale_case{"NinetyOneSteps", rising_steps(91), 93.f},
        Scale_case{"NinetySteps", rising_steps(90), 98.f},
        Scale_case{"FiftyOneSteps", rising_steps(51), 98.f},
        Scale_case{"FiftySteps", rising_steps(50), 101.f},
        Scale_case{"SinglePixel", grey_row({0.25f}), 0.25f},
        Scale_case{"Black", grey_row({0.f, 0.f}), 0.f}),
    [](const ::testing::TestParamInfo<Scale_case>& info) { return std::string(info.param.name); });

TEST(DisplayScale, EmptyImageCountsAsBlack) {
  EXPECT_FLOAT_EQ(display_scale(Hdr_image()), float(9999.0 / 1e-12));
}

// NaN pixels survive loading; they must not make the exposure factor NaN.
TEST(DisplayScale, MostlyNanImageUsesItsLargestValue) {
  std::vector<float> v(100, k_nan);
  v[10] = 2.f;
  v[20] = 4.f;
  EXPECT_FLOAT_EQ(display_scale(grey_row(v)), float(9999.0 / (4.0 + 1e-12)));
  EXPECT_FLOAT_EQ(display_scale(grey_row({k_nan, k_nan})), float(9999.0 / 1e-12));
}

TEST(MeanExposureScale, NanPixelsAreLeftOut) {
  EXPECT_FLOAT_EQ(mean_exposure_scale(grey_row({k_nan, 2.f, 4.f})), float(127.5 / (3.0 + 1e-6)));
  EXPECT_FLOAT_EQ(mean_exposure_scale(grey_row({k_nan})), 127500000.f);
}

TEST(MeanExposureScale, BlackAndGrey) {
  EXPECT_FLOAT_EQ(mean_exposure_scale(grey_row({0.f, 0.f})), 127500000.f);
  EXPECT_FLOAT_EQ(mean_exposure_scale(grey_row({1.f, 3.f})), float(127.5 / (2.0 + 1e-6)));
  EXPECT_FLOAT_EQ(mean_exposure_scale(Hdr_image()), 127500000.f);
}

// A float sum stops growing at 2^24 pixels: the mean of a large image of luminance 1
// would come out far below 1.
TEST(MeanExposureScale, LargeImageKeepsItsMean) {
  const Hdr_image image(4800, 4000, 1, 3, 1.f);
  EXPECT_NEAR(mean_exposure_scale(image), 127.5, 1e-3);
}

TEST(CompareLuminance, Order) {
  const float a = 1.f, b = 2.f;
  EXPECT_EQ(compare_luminance(&a, &b), -1);
  EXPECT_EQ(compare_luminance(&b, &a), 1);
  EXPECT_EQ(compare_luminance(&a, &a), 0);
}

}  // namespace

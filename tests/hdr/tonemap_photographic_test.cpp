#include "hdr/tonemap_photographic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <opencv2/imgproc.hpp>
#include <set>
#include <stdexcept>
#include <string>

#include "core/event_pump.h"
#include "tests/support/hdr_scene.h"
#include "tests/support/rgb_rows.h"

namespace {

constexpr float k_offset = 0.00001f;

// 10 x 10 grey: row 0 at 0.05, rows 1-8 at 1, row 9 at 3.
Rgb_rows three_level_grey() {
  Rgb_rows r(10, 10, 1.f);
  for (int32_t x = 0; x < 10; ++x) {
    r.set_grey(x, 0, 0.05f);
    r.set_grey(x, 9, 3.f);
  }
  return r;
}

TEST(PhotographicGlobal, EstimatedKeyOnThreeGreyLevels) {
  // By hand: lo = ln(0.05001) = -2.99553, hi = ln(3.00001) = 1.09862; 10 % of the pixels
  // in the top bin (index 409) gives upper = 4.09 + lo = 1.09447, the bottom bin lower = lo.
  // Every pixel is below e^upper: lav = (10 ln 0.05 + 10 ln 3) / 100 = -0.18970, so the key
  // is 0.18 * 2^(2 (2 lav - lower - upper) / (upper - lower)) = 0.30149, white
  // 1.5 * 2^(range - 5) = 0.80058, factor key / e^lav = 0.36446. Mapped Y(1 + Y/w^2)/(1 + Y):
  // 0.05 -> 0.018543, 1 -> 0.47582, 3 -> 1 (clamped); stretched and raised to 1/2.2 the
  // middle level is 169.68. A fixed key of 0.18 would give 145.39.
  for (uint32_t mode : {k_photographic_global, k_photographic_automatic}) {
    Rgb_rows r = three_level_grey();
    tonemap_photographic(r.rows(), r.width, r.height, 2.2f, mode);
    const Photographic_parameters p = photographic_parameters();
    EXPECT_NEAR(p.key, 0.30149, 1e-4);
    EXPECT_NEAR(p.white, 0.80058, 1e-4);
    EXPECT_NEAR(p.upper_log, 1.09447, 1e-4);
    EXPECT_NEAR(p.lower_log, -2.99553, 1e-4);
    EXPECT_FALSE(p.use_scales);
    EXPECT_DOUBLE_EQ(p.gamma, double(2.2f));
    for (int c = 0; c < 3; ++c) {
      // The round trip through Yxy leaves grey off by ~1e-4, which the gamma lifts a little.
      EXPECT_NEAR(r.at(3, 0)[c], 0.f, 0.05f);
      EXPECT_NEAR(r.at(3, 5)[c], 169.68f, 0.3f) << "mode " << mode;
      EXPECT_NEAR(r.at(3, 9)[c], 255.f, 0.01f);
    }
  }
}

// The percentile walks of the estimate on 1000 pixels: `bottom` at 0.01, `top` at 1, the
// rest at 0.1 after `black` pixels of 0. Each walk stops at the first bin past 1 % of all
// pixels (strictly), black ones included in the count; otherwise it goes on to the middle bin.
struct Walk_case {
  const char* name;
  int black, bottom, top;
  bool upper_at_top, lower_at_bottom;
};

class PhotographicPercentiles : public ::testing::TestWithParam<Walk_case> {};

TEST_P(PhotographicPercentiles, WalksStopPastOnePercentOfEveryPixel) {
  const Walk_case& c = GetParam();
  Rgb_rows r(40, 25, 0.1f);
  for (int i = 0; i < c.black + c.bottom + c.top; ++i)
    r.set_grey(i % 40, i / 40, i < c.black ? 0.f : i < c.black + c.bottom ? 0.01f : 1.f);
  tonemap_photographic(r.rows(), r.width, r.height, 2.2f, k_photographic_global);
  const Photographic_parameters p = photographic_parameters();
  const double lo = std::log(0.01 + double(k_offset));
  auto bin_position = [lo](double v) {
    return std::trunc((std::log(v + double(k_offset)) - lo) * 100) / 100 + lo;
  };
  EXPECT_NEAR(p.log_min, lo, 1e-5);
  EXPECT_NEAR(p.upper_log, bin_position(c.upper_at_top ? 1.0 : 0.1), 1e-4);
  EXPECT_NEAR(p.lower_log, c.lower_at_bottom ? lo : bin_position(0.1), 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, PhotographicPercentiles,
    ::testing::Values(Walk_case{"BothEndsHoldMoreThanOnePercent", 0, 11, 11, true, true},
                      Walk_case{"TopHoldsNinePerMille", 0, 11, 9, false, true},
                      Walk_case{"TopHoldsExactlyOnePercent", 0, 11, 10, false, true},
                      Walk_case{"BottomHoldsNinePerMille", 0, 9, 11, true, false},
                      // 0.5 % of all pixels is 1.25 % of the positive ones: not enough.
                      Walk_case{"SixtyPercentBlack", 600, 5, 5, false, false},
                      Walk_case{"SixtyPercentBlackEndsLarger", 600, 11, 11, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PhotographicLocal, BandCentresUseTheWidestScale) {
  // Three bands of 230 rows (0.05, 0.5, 4); a bright dot at (0, 0) clamps to 1 and a black
  // pixel at the far corner stays 0, so the stretches are fixed at 0..1. At each band centre
  // every blur equals the band value: no scale passes the test and Y' = Y / (1 + Y).
  // By hand: range 9.9033 (the dot's 1000 sets hi), upper = 1.38447 (band 4's bin),
  // lower = ln(0.05001); the dot's log (6.9) exceeds e^upper = 3.99 and drops out of the
  // average, the black pixel's ln(1e-5) stays in: e^lav = 0.46330, key 0.18417,
  // factor 0.39751. Gamma 1 gives 255 Y' / (1 + Y'), 2.2 raises that to 1/2.2.
  struct Case {
    float gamma;
    float expected[3];
  };
  for (const Case& c :
       {Case{1.f, {4.9695f, 42.279f, 156.546f}}, Case{2.2f, {42.576f, 112.670f, 204.279f}}}) {
    Rgb_rows r(8, 690);
    const float band[3] = {0.05f, 0.5f, 4.f};
    for (int32_t y = 0; y < r.height; ++y)
      for (int32_t x = 0; x < r.width; ++x) r.set_grey(x, y, band[y / 230]);
    r.set_grey(0, 0, 1000.f);
    r.set_grey(7, 689, 0.f);
    tonemap_photographic(r.rows(), r.width, r.height, c.gamma, k_photographic_local);
    EXPECT_TRUE(photographic_parameters().use_scales);
    EXPECT_NEAR(photographic_parameters().key, 0.18417, 1e-4);
    for (int b = 0; b < 3; ++b)
      EXPECT_NEAR(r.at(4, 115 + 230 * b)[1], c.expected[b], 0.05f) << "band " << b;
    EXPECT_FLOAT_EQ(r.at(0, 0)[0], 255.f);
    EXPECT_FLOAT_EQ(r.at(7, 689)[0], 0.f);
  }
}

// Two grey levels whose log range ln(b + 1e-5) - ln(a + 1e-5) is the given value.
Rgb_rows two_levels_with_range(double range) {
  const double a = 0.001;
  const double b = std::exp(std::log(a + double(k_offset)) + range) - double(k_offset);
  Rgb_rows r(20, 20, float(a));
  for (int32_t y = 10; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) r.set_grey(x, y, float(b));
  return r;
}

struct Switch_case {
  double range;
  bool local;
};

class PhotographicAutomatic : public ::testing::TestWithParam<Switch_case> {};

TEST_P(PhotographicAutomatic, SwitchesToLocalAboveRangeEleven) {
  const Switch_case c = GetParam();
  const Rgb_rows input = two_levels_with_range(c.range);
  Rgb_rows automatic = input;
  tonemap_photographic(automatic.rows(), input.width, input.height, 2.2f, k_photographic_automatic);
  const Photographic_parameters p = photographic_parameters();
  EXPECT_NEAR(p.log_max - p.log_min, c.range, 1e-5);
  EXPECT_EQ(p.use_scales, c.local);
  Rgb_rows forced = input;
  tonemap_photographic(forced.rows(), input.width, input.height, 2.2f,
                       c.local ? k_photographic_local : k_photographic_global);
  EXPECT_EQ(automatic.data, forced.data);
  // The other forced mode overrides the estimate whatever the range.
  Rgb_rows other = input;
  tonemap_photographic(other.rows(), input.width, input.height, 2.2f,
                       c.local ? k_photographic_global : k_photographic_local);
  EXPECT_EQ(photographic_parameters().use_scales, !c.local);
}

INSTANTIATE_TEST_SUITE_P(Ranges, PhotographicAutomatic,
                         ::testing::Values(Switch_case{10.99, false}, Switch_case{11.0, false},
                                           Switch_case{11.01, true}, Switch_case{14.0, true}));

TEST(Photographic, KeepsChromaticityUpToTheFinishingPasses) {
  // A black pixel pins the minimum at 0 and a bright grey one the maximum; with gamma 1 both
  // stretches are plain scalings, so every dim colour keeps its channel ratios.
  for (uint32_t mode : {k_photographic_global, k_photographic_local}) {
    Rgb_rows r(12, 12, 0.2f);
    r.set_grey(0, 0, 0.f);
    r.set_grey(11, 11, 50.f);
    r.set(5, 5, 0.3f, 0.1f, 0.05f);
    r.set(6, 5, 0.02f, 0.2f, 0.1f);
    r.set(5, 6, 0.1f, 0.1f, 0.4f);
    const Rgb_rows input = r;
    tonemap_photographic(r.rows(), r.width, r.height, 1.f, mode);
    for (auto [x, y] : {std::pair{5, 5}, std::pair{6, 5}, std::pair{5, 6}}) {
      Rgb_rows in = input;
      const float* a = in.at(x, y);
      const float* b = r.at(x, y);
      ASSERT_GT(b[1], 0.f);
      EXPECT_NEAR(b[0] / b[1], a[0] / a[1], 2e-3 * a[0] / a[1]) << "mode " << mode;
      EXPECT_NEAR(b[2] / b[1], a[2] / a[1], 2e-3 * a[2] / a[1]) << "mode " << mode;
    }
  }
}

TEST(Photographic, StartingSettings) {
  const Photographic_parameters p{};
  EXPECT_EQ(p.key, 0.18);
  EXPECT_EQ(p.threshold, 0.05);
  EXPECT_EQ(p.phi, 8.0);
  EXPECT_EQ(p.white, 1e20);
  EXPECT_EQ(p.smallest_scale, 1);
  EXPECT_EQ(p.largest_scale, 43);
  EXPECT_EQ(p.scale_count, 8);
  EXPECT_TRUE(p.use_scales);
  EXPECT_EQ(p.key_exponent, 2.0);
}

struct Degenerate_case {
  std::string name;
  Rgb_rows (*make)();
};

const float k_nan = std::numeric_limits<float>::quiet_NaN();
const float k_inf = std::numeric_limits<float>::infinity();

const Degenerate_case k_degenerate[] = {
    {"AllBlack", [] { return Rgb_rows(9, 7, 0.f); }},
    {"UniformGrey", [] { return Rgb_rows(9, 7, 0.7f); }},
    {"UniformColour",
     [] {
       Rgb_rows r(9, 7);
       for (int32_t y = 0; y < 7; ++y)
         for (int32_t x = 0; x < 9; ++x) r.set(x, y, 2.f, 0.5f, 0.1f);
       return r;
     }},
    {"OnePixel", [] { return Rgb_rows(1, 1, 3.f); }},
    {"OneLitPixel",
     [] {
       Rgb_rows r(6, 6, 0.f);
       r.set_grey(2, 3, 1e-3f);
       return r;
     }},
    {"WholeLogRange",  // hi - lo exactly 2: the top value's bin equals the bin count
     [] {
       Rgb_rows r(4, 4, float(std::exp(-1.0) - 1e-5));
       r.set_grey(0, 0, float(std::exp(1.0) - 1e-5));
       return r;
     }},
    {"NonFinite",
     [] {
       Rgb_rows r(8, 8, 0.5f);
       r.set(1, 1, k_nan, 0.5f, 0.5f);
       r.set_grey(2, 2, k_inf);
       r.set(3, 3, -k_inf, 1.f, 1.f);
       return r;
     }},
    {"Extremes",
     [] {
       Rgb_rows r(8, 8, 1e-30f);
       r.set_grey(4, 4, 3.4e38f);
       r.set(5, 4, -2.f, 0.f, 0.f);
       return r;
     }},
};

class PhotographicDegenerate
    : public ::testing::TestWithParam<std::tuple<Degenerate_case, uint32_t>> {};

TEST_P(PhotographicDegenerate, OutputStaysFiniteWithinRange) {
  const auto& [c, mode] = GetParam();
  Rgb_rows r = c.make();
  tonemap_photographic(r.rows(), r.width, r.height, 2.2f, mode);
  for (float v : r.data) {
    ASSERT_TRUE(std::isfinite(v));
    ASSERT_GE(v, 0.f);
    ASSERT_LE(v, 255.f);
  }
  const Photographic_parameters p = photographic_parameters();
  EXPECT_TRUE(std::isfinite(p.key));
  EXPECT_GT(p.key, 0.0);
  EXPECT_TRUE(std::isfinite(p.white));
}

INSTANTIATE_TEST_SUITE_P(Images, PhotographicDegenerate,
                         ::testing::Combine(::testing::ValuesIn(k_degenerate),
                                            ::testing::Values(k_photographic_automatic,
                                                              k_photographic_global,
                                                              k_photographic_local)),
                         [](const auto& info) {
                           return std::get<0>(info.param).name + "_mode" +
                                  std::to_string(std::get<1>(info.param));
                         });

TEST(Photographic, UniformImageKeepsTheBaseKey) {
  Rgb_rows r(5, 5, 0.3f);
  tonemap_photographic(r.rows(), r.width, r.height, 2.2f, k_photographic_automatic);
  EXPECT_EQ(photographic_parameters().key, 0.18);
}

TEST(Photographic, RejectsBadGammaAndIgnoresEmptyImages) {
  Rgb_rows r(2, 2, 1.f);
  EXPECT_THROW(tonemap_photographic(r.rows(), 2, 2, 0.f, 0), std::invalid_argument);
  EXPECT_THROW(tonemap_photographic(r.rows(), 2, 2, k_nan, 0), std::invalid_argument);
  tonemap_photographic(r.rows(), 0, 2, 2.2f, 0);
  tonemap_photographic(nullptr, 2, 2, 2.2f, 0);
  for (float v : r.data) EXPECT_EQ(v, 1.f);
}

Rgb_rows* g_nested_rows = nullptr;
int g_pumps = 0;

void pump_with_nested_run() {
  ++g_pumps;
  tonemap_photographic(g_nested_rows->rows(), g_nested_rows->width, g_nested_rows->height, 2.2f,
                       k_photographic_local);
}

TEST(Photographic, NestedRunFromThePumpReturnsAtOnce) {
  const Rgb_rows scene = hdr_scene_rows(64, 48);
  Rgb_rows plain = scene;
  tonemap_photographic(plain.rows(), plain.width, plain.height, 2.2f, k_photographic_local);

  Rgb_rows nested(7, 7, 0.4f);
  g_nested_rows = &nested;
  g_pumps = 0;
  const Event_pump_fn previous = set_event_pump(pump_with_nested_run);
  Rgb_rows pumped = scene;
  tonemap_photographic(pumped.rows(), pumped.width, pumped.height, 2.2f, k_photographic_local);
  set_event_pump(previous);
  EXPECT_EQ(g_pumps, scene.height);  // once per luminance row
  EXPECT_EQ(pumped.data, plain.data);
  for (float v : nested.data) EXPECT_EQ(v, 0.4f);
}

class PhotographicScene : public ::testing::TestWithParam<uint32_t> {};

TEST_P(PhotographicScene, BoundedAndRepeatable) {
  const Rgb_rows scene = hdr_scene_rows(320, 240);
  Rgb_rows first = scene;
  tonemap_photographic(first.rows(), first.width, first.height, 2.2f, GetParam());
  for (float v : first.data) {
    ASSERT_FALSE(std::isnan(v));
    ASSERT_GE(v, 0.f);
    ASSERT_LE(v, 255.f);
  }
  EXPECT_EQ(*std::max_element(first.data.begin(), first.data.end()), 255.f);
  // Another image in between must leave nothing behind.
  Rgb_rows other(31, 17, 5.f);
  other.set_grey(3, 3, 0.01f);
  tonemap_photographic(other.rows(), other.width, other.height, 1.5f, k_photographic_local);
  Rgb_rows second = scene;
  tonemap_photographic(second.rows(), second.width, second.height, 2.2f, GetParam());
  EXPECT_EQ(first.data, second.data);
}

INSTANTIATE_TEST_SUITE_P(Modes, PhotographicScene,
                         ::testing::Values(k_photographic_automatic, k_photographic_global,
                                           k_photographic_local));

TEST(PhotographicGlobal, MonotoneInLuminance) {
  // A grey ramp over twelve orders of magnitude, shuffled across the image.
  Rgb_rows r(200, 150);
  const int64_t n = int64_t(r.width) * r.height;
  for (int64_t i = 0; i < n; ++i) {
    const int64_t k = (i * 7919) % n;
    const float v = float(1e-6 * std::pow(10.0, 12.0 * double(k) / double(n - 1)));
    r.set_grey(int32_t(i % r.width), int32_t(i / r.width), v);
  }
  const Rgb_rows input = r;
  tonemap_photographic(r.rows(), r.width, r.height, 2.2f, k_photographic_global);
  std::vector<std::pair<float, float>> pairs;
  for (int64_t i = 0; i < n; ++i) pairs.emplace_back(input.data[3 * i + 1], r.data[3 * i + 1]);
  std::sort(pairs.begin(), pairs.end());
  for (size_t i = 1; i < pairs.size(); ++i)
    ASSERT_LE(pairs[i - 1].second, pairs[i].second) << "at input " << pairs[i].first;
}

TEST(PhotographicRows, FinishingPasses) {
  Rgb_rows r(3, 1);
  r.set(0, 0, -1.f, 0.5f, 2.f);
  r.set(1, 0, k_nan, 1.f, 0.25f);
  r.set_grey(2, 0, 0.f);
  clamp_rows(r.rows(), 3, 1, 1.0);
  EXPECT_EQ(r.data, (std::vector<float>{0.f, 0.5f, 1.f, 0.f, 1.f, 0.25f, 0.f, 0.f, 0.f}));

  // By luminance (0.5, 1 and 0.9275): grey 0.5 goes to 0, grey 1 to 10; the red channel of
  // the third pixel, (1.4 - 0.5) / 0.5 * 10 = 18, is clamped to the target, its green is 6.
  Rgb_rows n(3, 1);
  n.set_grey(0, 0, 0.5f);
  n.set_grey(1, 0, 1.f);
  n.set(2, 0, 1.4f, 0.8f, 0.8f);
  normalize_rows(n.rows(), 3, 1, 10.0);
  EXPECT_NEAR(n.at(0, 0)[0], 0.f, 1e-6);
  EXPECT_NEAR(n.at(1, 0)[0], 10.f, 1e-4);
  EXPECT_EQ(n.at(2, 0)[0], 10.f);
  EXPECT_NEAR(n.at(2, 0)[1], 6.f, 1e-4);

  Rgb_rows g(2, 1);
  g.set(0, 0, 0.f, 0.25f, 1.f);
  g.set_grey(1, 0, 0.5f);
  gamma_rows(g.rows(), 2, 1, 2.0);
  EXPECT_NEAR(g.at(0, 0)[0], 0.f, 1e-7);
  EXPECT_NEAR(g.at(0, 0)[1], 0.5f, 1e-6);
  EXPECT_NEAR(g.at(0, 0)[2], 1.f, 1e-6);
  EXPECT_NEAR(g.at(1, 0)[0], std::sqrt(0.5f), 1e-6);
}

}  // namespace

namespace {

TEST(PhotographicBlur, StripsGiveTheWholeImageBlur) {
  cv::Mat src(37, 2 * k_blur_strip_width + 301, CV_32F);
  cv::randu(src, 0.f, 100.f);
  for (double sigma : {1.00001, 6.55747, 26.87111}) {
    cv::Mat whole, strips;
    cv::GaussianBlur(src, whole, cv::Size(0, 0), sigma, 0, cv::BORDER_REFLECT_101);
    gaussian_blur_strips(src, strips, sigma);
    EXPECT_EQ(cv::norm(whole, strips, cv::NORM_INF), 0.0) << sigma;
  }
}

}  // namespace

namespace {

TEST(PhotographicLocal, EachPixelTakesTheFirstScaleAboveTheThreshold) {
  // The three bands again, gamma 1, so that the output over 255 is Y' itself. Across the
  // band edges a one-pixel oracle blurs the scaled luminance with the eight sigmas
  // 43^(i/8), finds the first scale whose activity exceeds 0.05 and maps Y / (1 + V).
  Rgb_rows r(8, 690);
  const float band[3] = {0.05f, 0.5f, 4.f};
  for (int32_t y = 0; y < r.height; ++y)
    for (int32_t x = 0; x < r.width; ++x) r.set_grey(x, y, band[y / 230]);
  r.set_grey(0, 0, 1000.f);
  r.set_grey(7, 689, 0.f);
  const Rgb_rows input = r;
  tonemap_photographic(r.rows(), r.width, r.height, 1.f, k_photographic_local);
  const Photographic_parameters p = photographic_parameters();
  const double factor = p.key / p.log_average;

  cv::Mat scaled(r.height, r.width, CV_32F);
  for (int32_t y = 0; y < r.height; ++y)
    for (int32_t x = 0; x < r.width; ++x)
      scaled.at<float>(y, x) =
          float(double(input.data[3 * (size_t(y) * r.width + x) + 1]) * factor);
  const double sigma[8] = {1.00001, 1.60025,  2.56077,  4.09783,
                           6.55747, 10.49348, 16.79200, 26.87111};
  cv::Mat v[8];
  for (int i = 0; i < 8; ++i)
    cv::GaussianBlur(scaled, v[i], cv::Size(0, 0), sigma[i], 0, cv::BORDER_REFLECT_101);

  std::set<int> chosen_scales;
  for (int32_t y = 170; y < 520; ++y) {
    const int32_t x = 4;
    int chosen = 7;
    bool near_threshold = false;
    for (int i = 0; i < 7; ++i) {
      const double vi = v[i].at<float>(y, x), vn = v[i + 1].at<float>(y, x);
      const double activity = std::fabs((vi - vn) / (256.0 * p.key / (sigma[i] * sigma[i]) + vi));
      if (std::fabs(activity - 0.05) < 5e-4) near_threshold = true;
      if (activity > 0.05) {
        chosen = i;
        break;
      }
    }
    if (near_threshold) continue;
    chosen_scales.insert(chosen);
    const double s = scaled.at<float>(y, x);
    const double expected = s / (1.0 + v[chosen].at<float>(y, x));
    EXPECT_NEAR(r.at(x, y)[1] / 255.0, expected, 2e-4 + 1e-3 * expected) << "row " << y;
  }
  EXPECT_GE(chosen_scales.size(), 4u);
  EXPECT_TRUE(chosen_scales.count(7));
}

}  // namespace

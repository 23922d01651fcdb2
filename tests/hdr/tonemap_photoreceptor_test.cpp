#include "hdr/tonemap_photoreceptor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/event_pump.h"
#include "core/luminance.h"
#include "tests/support/hdr_scene.h"
#include "tests/support/rgb_rows.h"

namespace {

std::vector<double> g_hook_values;
void record_contrast(double c) { g_hook_values.push_back(c); }

// Installs the recording hook for one test and takes it away again.
class InteractiveContrast : public ::testing::Test {
 protected:
  void SetUp() override {
    g_hook_values.clear();
    m_previous = set_automatic_contrast_hook(record_contrast);
  }
  void TearDown() override { set_automatic_contrast_hook(m_previous); }

 private:
  Contrast_hook m_previous = nullptr;
};

// 10 x 10 grey: row 0 at 0, rows 1-8 at 1, row 9 at 4; after the first stretch 0, 0.25, 1.
Rgb_rows three_level_grey() {
  Rgb_rows r(10, 10, 1.f);
  for (int32_t x = 0; x < 10; ++x) {
    r.set_grey(x, 0, 0.f);
    r.set_grey(x, 9, 4.f);
  }
  return r;
}

TEST_F(InteractiveContrast, UserContrastOnThreeGreyLevels) {
  // By hand, for grey c = L: V = (c / ((f (c + 1e-5))^m + c))^g with m = 1 - contrast,
  // f = e^-lightness, g = 1 / (gamma + 1e-5); stretched by (V - V(0)) * 255 / (V(1) - V(0) + 1e-5).
  // At contrast 0.5 m and 1 - m coincide; at 0.8 the exponent is 0.2 (0.8 would give 238.38
  // and 232.01 for the middle level).
  struct Case {
    float lightness, gamma, middle, top;
    float contrast = 0.5f;
  };
  for (const Case& c :
       {Case{0.f, 2.2f, 212.076f, 254.9965f}, Case{1.f, 1.f, 185.108f, 254.9959f},
        Case{0.f, 2.2f, 185.420f, 254.9965f, 0.8f}, Case{1.f, 1.f, 133.193f, 254.9954f, 0.8f}}) {
    Rgb_rows r = three_level_grey();
    tonemap_photoreceptor(r.rows(), r.width, r.height, 0.5f, c.lightness, c.contrast, c.gamma,
                          true);
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(r.at(2, 0)[k], 0.f, 1e-3);
      EXPECT_NEAR(r.at(2, 4)[k], c.middle, 0.02f);
      EXPECT_NEAR(r.at(2, 9)[k], c.top, 1e-3);
    }
  }
  EXPECT_TRUE(g_hook_values.empty());
}

TEST_F(InteractiveContrast, AutomaticContrastFromThePercentiles) {
  // Black pixels stay out of the histogram, so on a small image the bounds move to the
  // bins of 0.25 and 1, and the average to (80 pos(0.25) + 10 pos(1)) / 90: k = 8/9 and the
  // slider gets 1 - (0.3 + 0.6 (8/9)^1.4) = 0.19121.
  Rgb_rows r = three_level_grey();
  tonemap_photoreceptor(r.rows(), r.width, r.height, 0.5f, 0.f, 0.9f, 2.2f, false);
  ASSERT_EQ(g_hook_values.size(), 1u);
  EXPECT_NEAR(g_hook_values[0], 0.19121, 1e-4);
  EXPECT_EQ(last_automatic_contrast(), g_hook_values[0]);

  // Log levels -2, -1, 0 in equal numbers: the average lies midway, k = 0.5.
  Rgb_rows m(10, 10);
  for (int i = 1; i < 100; ++i) m.set_grey(i % 10, i / 10, float(std::exp(-double(i % 3))));
  tonemap_photoreceptor(m.rows(), m.width, m.height, 0.5f, 0.f, 0.9f, 2.2f, false);
  ASSERT_EQ(g_hook_values.size(), 2u);
  EXPECT_NEAR(g_hook_values[1], 1.0 - (0.3 + 0.6 * std::pow(0.5, 1.4)), 1e-3);
  EXPECT_NEAR(g_hook_values[1], 0.4727, 1e-3);
}

TEST(InteractivePercentiles, WalksCompareDensitySums) {
  // 400 x 400: one black pixel, 2000 at 1, 3000 at 0.5, the rest at 0.01. The bins hold
  // count / (N range / 1024), so the walks stop once the summed counts pass
  // 1e-5 N^2 range / 1024 = 2877: the top group alone (2000) is not enough.
  Rgb_rows r(400, 400, 0.01f);
  const int32_t w = r.width;
  r.set_grey(0, 0, 0.f);
  for (int i = 1; i <= 2000; ++i) r.set_grey(i % w, i / w, 1.f);
  for (int i = 2001; i <= 5000; ++i) r.set_grey(i % w, i / w, 0.5f);
  double lo = 0, hi = 0, avg = 0;
  log_luminance_stats(r.rows(), uint64_t(w), uint64_t(r.height), lo, hi, avg);
  const double lo0 = lo;
  const std::vector<double> hist = interactive_histogram(r.rows(), w, r.height, lo, hi);
  EXPECT_EQ(hist.size(), size_t(std::ceil(hi - lo) * 1024) + 1);
  interactive_percentiles(hist, lo, hi, avg, w, r.height);
  auto bin_position = [lo0](double v) {
    return std::trunc((std::log(v + 1e-5) - lo0) * 1024) / 1024 + lo0;
  };
  EXPECT_DOUBLE_EQ(hi, bin_position(0.5));
  EXPECT_DOUBLE_EQ(lo, bin_position(0.01));
  EXPECT_GT(avg, lo);
  EXPECT_LT(avg, hi);
}

TEST(InteractivePercentiles, LargeImageKeepsTheLogStatistics) {
  // 4000 x 4000: even all the density, 1024 / range, stays below 1e-5 N, so neither walk
  // gets there and the statistics stay as they were.
  const int32_t w = 4000, h = 4000;
  const double n = double(w) * h, lo0 = -11.5, hi0 = 0.0, range = hi0 - lo0;
  std::vector<double> hist(size_t(std::ceil(range) * 1024) + 1, 0.0);
  for (size_t i = 50; i < size_t(range * 1024); i += 97) hist[i] = n / 100.0;
  double placed = 0;
  for (double b : hist) placed += b;
  for (double& b : hist) b *= (n / placed) / (n * range / 1024);
  double lo = lo0, hi = hi0, avg = -3.0;
  interactive_percentiles(hist, lo, hi, avg, w, h);
  EXPECT_EQ(lo, lo0);
  EXPECT_EQ(hi, hi0);
  EXPECT_EQ(avg, -3.0);
  // The same densities on a small image do move the bounds.
  interactive_percentiles(hist, lo, hi, avg, 40, 40);
  EXPECT_GT(lo, lo0);
  EXPECT_LT(hi, hi0);
}

TEST(Interactive, LargeImageContrastComesFromTheRawLogStatistics) {
  // Grey e^-3 with one black and one white pixel. Small, the walks move the bounds to the
  // bins of e^-3 and 1 and the average onto e^-3's bin: k is about 1, the contrast 0.1.
  // From about 8.9 million pixels on the whole density stays below 1e-5 N, so the raw
  // statistics are used: min ln(1e-5), max ~0, average ~-3, k = 3 / 11.5129 and the
  // contrast 1 - (0.3 + 0.6 k^1.4) = 0.60854.
  auto contrast_for = [](int32_t w, int32_t h) {
    Rgb_rows r(w, h, float(std::exp(-3.0)));
    r.set_grey(0, 0, 0.f);
    r.set_grey(1, 0, 1.f);
    tonemap_photoreceptor(r.rows(), w, h, 0.5f, 0.f, 0.5f, 2.2f, false);
    return last_automatic_contrast();
  };
  EXPECT_NEAR(contrast_for(30, 30), 0.1, 2e-3);
  const double k = 3.0 / -std::log(1e-5);
  EXPECT_NEAR(contrast_for(3100, 3000), 1.0 - (0.3 + 0.6 * std::pow(k, 1.4)), 1e-4);
}

TEST(InteractiveHistogram, CollapsedRangeHoldsEveryPixel) {
  Rgb_rows r(3, 2, 0.5f);
  const double l = std::log(0.5 + 1e-5);
  const std::vector<double> hist = interactive_histogram(r.rows(), 3, 2, l, l);
  ASSERT_EQ(hist.size(), 1u);
  EXPECT_DOUBLE_EQ(hist[0], 1.0);
  double lo = l, hi = l, avg = l;
  interactive_percentiles(hist, lo, hi, avg, 3, 2);
  EXPECT_EQ(lo, l);
  EXPECT_EQ(hi, l);
}

TEST(Interactive, SaturationChoosesWhatEachChannelAdaptsTo) {
  // Same red, different green: with saturation 0 red adapts to itself alone and both reds
  // map alike; with saturation 1 it adapts to the luminance, so the brighter pixel's red
  // comes out lower.
  auto reds = [](float saturation) {
    Rgb_rows r(4, 1);
    r.set_grey(0, 0, 0.f);
    r.set_grey(1, 0, 1.f);
    r.set(2, 0, 0.4f, 0.2f, 0.1f);
    r.set(3, 0, 0.4f, 0.6f, 0.1f);
    tonemap_photoreceptor(r.rows(), 4, 1, saturation, 0.f, 0.5f, 2.2f, true);
    return std::pair{r.at(2, 0)[0], r.at(3, 0)[0]};
  };
  const auto [a0, b0] = reds(0.f);
  EXPECT_FLOAT_EQ(a0, b0);
  const auto [a1, b1] = reds(1.f);
  EXPECT_GT(a1, b1 + 5.f);
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
    {"OnePixel", [] { return Rgb_rows(1, 1, 3.f); }},
    {"TwoLevels",
     [] {
       Rgb_rows r(6, 6, 0.f);
       r.set_grey(2, 3, 1e-3f);
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

class InteractiveDegenerate : public ::testing::TestWithParam<Degenerate_case> {};

TEST_P(InteractiveDegenerate, FiniteOutputAndContrast) {
  g_hook_values.clear();
  const Contrast_hook previous = set_automatic_contrast_hook(record_contrast);
  Rgb_rows r = GetParam().make();
  tonemap_photoreceptor(r.rows(), r.width, r.height, 0.5f, 0.f, 0.5f, 2.2f, false);
  set_automatic_contrast_hook(previous);
  for (float v : r.data) {
    ASSERT_TRUE(std::isfinite(v));
    ASSERT_GE(v, 0.f);
    ASSERT_LE(v, 255.f);
  }
  ASSERT_EQ(g_hook_values.size(), 1u);
  EXPECT_TRUE(std::isfinite(g_hook_values[0]));
  EXPECT_GE(g_hook_values[0], 0.0);
  EXPECT_LE(g_hook_values[0], 1.0);
}

INSTANTIATE_TEST_SUITE_P(Images, InteractiveDegenerate, ::testing::ValuesIn(k_degenerate),
                         [](const auto& info) { return info.param.name; });

TEST(Interactive, UniformImageTakesTheMiddleContrast) {
  Rgb_rows r(5, 5, 0.3f);
  tonemap_photoreceptor(r.rows(), 5, 5, 0.5f, 0.f, 0.5f, 2.2f, false);
  EXPECT_NEAR(last_automatic_contrast(), 1.0 - (0.3 + 0.6 * std::pow(0.5, 1.4)), 1e-12);
}

TEST(Interactive, RejectsNonFiniteParameters) {
  Rgb_rows r(2, 2, 1.f);
  const float nan = k_nan;
  EXPECT_THROW(tonemap_photoreceptor(r.rows(), 2, 2, nan, 0.f, 0.5f, 2.2f, true),
               std::invalid_argument);
  EXPECT_THROW(tonemap_photoreceptor(r.rows(), 2, 2, 0.5f, 0.f, 0.5f, 0.f, true),
               std::invalid_argument);
  tonemap_photoreceptor(r.rows(), 0, 0, 0.5f, 0.f, 0.5f, 2.2f, true);
  for (float v : r.data) EXPECT_EQ(v, 1.f);
}

Rgb_rows* g_nested_rows = nullptr;
int g_pumps = 0;

void pump_with_nested_run() {
  ++g_pumps;
  tonemap_photoreceptor(g_nested_rows->rows(), g_nested_rows->width, g_nested_rows->height, 0.5f,
                        0.f, 0.5f, 2.2f, false);
}

TEST(Interactive, NestedRunFromThePumpReturnsAtOnce) {
  const Rgb_rows scene = hdr_scene_rows(64, 48);
  Rgb_rows plain = scene;
  tonemap_photoreceptor(plain.rows(), plain.width, plain.height, 0.5f, 0.f, 0.5f, 2.2f, false);
  const double contrast = last_automatic_contrast();

  Rgb_rows nested(7, 7, 0.4f);
  g_nested_rows = &nested;
  g_pumps = 0;
  const Event_pump_fn previous = set_event_pump(pump_with_nested_run);
  Rgb_rows pumped = scene;
  tonemap_photoreceptor(pumped.rows(), pumped.width, pumped.height, 0.5f, 0.f, 0.5f, 2.2f, false);
  set_event_pump(previous);
  EXPECT_EQ(g_pumps, scene.height);
  EXPECT_EQ(pumped.data, plain.data);
  EXPECT_EQ(last_automatic_contrast(), contrast);
  for (float v : nested.data) EXPECT_EQ(v, 0.4f);
}

TEST(Interactive, SceneBoundedSpanningAndRepeatable) {
  const Rgb_rows scene = hdr_scene_rows(320, 240);
  Rgb_rows first = scene;
  tonemap_photoreceptor(first.rows(), first.width, first.height, 0.5f, 0.f, 0.5f, 2.2f, false);
  const double contrast = last_automatic_contrast();
  float lo = 1e9f, hi = -1e9f;
  for (float v : first.data) {
    ASSERT_FALSE(std::isnan(v));
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_EQ(lo, 0.f);
  EXPECT_GT(hi, 254.9f);
  EXPECT_LE(hi, 255.f);

  Rgb_rows other(31, 17, 5.f);
  other.set_grey(3, 3, 0.01f);
  tonemap_photoreceptor(other.rows(), other.width, other.height, 1.f, 3.f, 0.2f, 1.f, true);
  Rgb_rows second = scene;
  tonemap_photoreceptor(second.rows(), second.width, second.height, 0.5f, 0.f, 0.5f, 2.2f, false);
  EXPECT_EQ(first.data, second.data);
  EXPECT_EQ(last_automatic_contrast(), contrast);
}

}  // namespace

// The histogram dialog's numbers: channel histograms on both scales, bar colours and
// heights, and the per-opening cache.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "core/hist_box.h"
#include "viewer/histogram_data.h"

namespace {

const float k_nan = std::numeric_limits<float>::quiet_NaN();

std::vector<uint32_t> counts_of(const uint32_t* c) {
  return std::vector<uint32_t>(c, c + k_histogram_bins);
}

uint64_t total(const std::vector<uint32_t>& c) {
  return std::accumulate(c.begin(), c.end(), uint64_t(0));
}

TEST(Channel_histogram, LinearRampFillsEveryBinOnce) {
  std::vector<float> v(256);
  for (int i = 0; i < 256; ++i) v[i] = float(i);
  const std::vector<uint32_t> c = counts_of(channel_histogram(v.data(), v.size(), false).get());
  EXPECT_EQ(c, std::vector<uint32_t>(256, 1));
}

TEST(Channel_histogram, LogarithmicBinsByTheLogAndLeavesTheSourceAlone) {
  // 1e-6 keeps ln finite at 0: zeros are the smallest value and fill bin 0; values spaced
  // by a constant factor spread evenly over the log bins.
  std::vector<float> v = {0.f, 0.f, 0.f, 0.01f, 2.f, 1000.f};
  const std::vector<float> before = v;
  const std::vector<uint32_t> c = counts_of(channel_histogram(v.data(), v.size(), true).get());
  EXPECT_EQ(v, before);
  EXPECT_EQ(c[0], 3u);
  EXPECT_EQ(c[255], 1u);
  EXPECT_EQ(total(c), 6u);
  // ln(0.01) and ln(2) between ln(1e-6) and ln(1000): bins 113 and 178 of 0..255.
  const double lo = std::log(1e-6), hi = std::log(1000.0 + 1e-6);
  const auto bin = [&](double x) {
    return int(std::trunc((std::log(x + 1e-6) - lo) * 255 / (hi - lo)));
  };
  EXPECT_EQ(bin(0.01), 113);
  EXPECT_EQ(bin(2.0), 178);
  EXPECT_EQ(c[113], 1u);
  EXPECT_EQ(c[178], 1u);
}

TEST(Channel_histogram, LinearAndLogarithmicDifferOnSkewedData) {
  std::vector<float> v = {1.f, 2.f, 4.f, 8.f, 1024.f};
  const auto lin = counts_of(channel_histogram(v.data(), v.size(), false).get());
  const auto log = counts_of(channel_histogram(v.data(), v.size(), true).get());
  EXPECT_EQ(lin[0], 3u);  // 1, 2 and 4 share the first linear bin
  EXPECT_EQ(log[0], 1u);  // the logarithm separates them
  EXPECT_EQ(log[255], 1u);
}

struct Edge_case {
  const char* name;
  std::vector<float> values;
  bool logarithmic;
  uint32_t bin0, others;
};

class Channel_histogram_edges : public ::testing::TestWithParam<Edge_case> {};

TEST_P(Channel_histogram_edges, Counts) {
  const Edge_case& e = GetParam();
  const auto c =
      counts_of(channel_histogram(e.values.data(), e.values.size(), e.logarithmic).get());
  EXPECT_EQ(c[0], e.bin0);
  EXPECT_EQ(total(c) - c[0], e.others);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Channel_histogram_edges,
    ::testing::Values(Edge_case{"empty", {}, false, 0, 0}, Edge_case{"empty_log", {}, true, 0, 0},
                      Edge_case{"uniform", {7.f, 7.f, 7.f, 7.f}, false, 4, 0},
                      Edge_case{"uniform_log", {7.f, 7.f, 7.f}, true, 3, 0},
                      Edge_case{"zeros_log", {0.f, 0.f}, true, 2, 0},
                      Edge_case{"all_nan", {k_nan, k_nan}, false, 0, 0},
                      Edge_case{"all_nan_log", {k_nan, k_nan}, true, 0, 0},
                      Edge_case{"nan_skipped", {k_nan, 0.f, k_nan, 1.f}, false, 1, 1},
                      Edge_case{"nan_skipped_log", {k_nan, 0.f, 5.f}, true, 1, 1}),
    [](const ::testing::TestParamInfo<Edge_case>& i) { return std::string(i.param.name); });

TEST(Histogram_bar_colour, OneColourPerChannel) {
  const auto same = [](Bar_colour a, Bar_colour b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
  };
  EXPECT_TRUE(same(histogram_bar_colour(k_hist_luminance), {96, 96, 96}));
  EXPECT_TRUE(same(histogram_bar_colour(k_hist_red), {205, 47, 47}));
  EXPECT_TRUE(same(histogram_bar_colour(k_hist_green), {162, 220, 80}));
  EXPECT_TRUE(same(histogram_bar_colour(k_hist_blue), {82, 88, 198}));
  EXPECT_TRUE(same(histogram_bar_colour(99), {96, 96, 96}));
}

TEST(Hist_bar_height, TallestBinReachesThreeQuarters) {
  EXPECT_EQ(hist_bar_height(10, 10, 149), 111);  // 0.75 * 149 = 111.75
  EXPECT_EQ(hist_bar_height(5, 10, 149), 55);
  EXPECT_EQ(hist_bar_height(0, 10, 149), 0);
  EXPECT_EQ(hist_bar_height(3, 0, 149), 0);  // no data: no bars, no division by 0
  EXPECT_EQ(hist_bar_height(4000000000u, 4000000000u, 82), 61);
}

// Planes of a 4-pixel image: luminance differs from every channel.
struct Planes {
  std::vector<float> r{0.f, 10.f, 20.f, 30.f}, g{30.f, 20.f, 10.f, 0.f}, b{5.f, 5.f, 5.f, 100.f};
};

TEST(Histogram_cache, EachHistogramAndTheLuminanceAreComputedOnce) {
  Planes p;
  Histogram_cache cache;
  cache.set_planes(p.r.data(), p.g.data(), p.b.data(), 4);
  const uint32_t* lum = cache.histogram(k_hist_luminance, k_hist_linear);
  ASSERT_NE(lum, nullptr);
  const uint32_t* red = cache.histogram(k_hist_red, k_hist_linear);
  EXPECT_EQ(cache.histogram(k_hist_luminance, k_hist_linear), lum);
  EXPECT_EQ(cache.histogram(k_hist_red, k_hist_linear), red);
  cache.histogram(k_hist_luminance, k_hist_logarithmic);
  EXPECT_EQ(cache.histogram_computations(), 3);
  EXPECT_EQ(cache.luminance_computations(), 1);
  EXPECT_TRUE(cache.cached(k_hist_red, k_hist_linear));
  EXPECT_FALSE(cache.cached(k_hist_red, k_hist_logarithmic));
  // The log histogram worked on a copy: the lent planes are unchanged.
  EXPECT_EQ(p.r, Planes().r);
}

TEST(Histogram_cache, ChannelsBinTheirOwnPlaneAndLuminanceUsesItsWeights) {
  Planes p;
  Histogram_cache cache;
  cache.set_planes(p.r.data(), p.g.data(), p.b.data(), 4);
  const auto expect_same = [&](int channel, std::vector<float> source) {
    const auto want = counts_of(channel_histogram(source.data(), source.size(), false).get());
    EXPECT_EQ(counts_of(cache.histogram(channel, k_hist_linear)), want) << channel;
  };
  expect_same(k_hist_red, p.r);
  expect_same(k_hist_green, p.g);
  expect_same(k_hist_blue, p.b);
  std::vector<float> lum(4);
  for (int i = 0; i < 4; ++i) lum[i] = float(0.2125 * p.r[i] + 0.7154 * p.g[i] + 0.0721 * p.b[i]);
  expect_same(k_hist_luminance, lum);
}

TEST(Histogram_cache, ClearEmptiesItAndNewPlanesStartAfresh) {
  Planes p;
  Histogram_cache cache;
  EXPECT_EQ(cache.histogram(k_hist_luminance, k_hist_linear), nullptr);  // nothing lent
  cache.set_planes(p.r.data(), p.g.data(), p.b.data(), 4);
  cache.histogram(k_hist_luminance, k_hist_linear);
  cache.histogram(k_hist_blue, k_hist_logarithmic);
  cache.clear();
  EXPECT_FALSE(cache.has_luminance());
  EXPECT_FALSE(cache.cached(k_hist_luminance, k_hist_linear));
  EXPECT_FALSE(cache.cached(k_hist_blue, k_hist_logarithmic));
  EXPECT_EQ(cache.histogram(k_hist_luminance, k_hist_linear), nullptr);

  Planes q;
  q.r.assign(4, 1.f);
  cache.set_planes(q.r.data(), q.g.data(), q.b.data(), 4);
  EXPECT_EQ(counts_of(cache.histogram(k_hist_red, k_hist_linear))[0], 4u);  // uniform
  EXPECT_EQ(cache.luminance_computations(), 1);
}

// The dialog lends each new image's planes without clearing first: what was cached for
// the image before must not be shown for the next.
TEST(Histogram_cache, NewPlanesReplaceTheCachedHistogramsOfThePreviousImage) {
  Planes a;
  Planes b;
  b.r = {100.f, 100.f, 100.f, 0.f};
  b.g = {1.f, 2.f, 3.f, 4.f};
  b.b = {0.f, 0.f, 50.f, 50.f};
  Histogram_cache cache;
  cache.set_planes(a.r.data(), a.g.data(), a.b.data(), 4);
  for (int channel : {k_hist_luminance, k_hist_red, k_hist_green, k_hist_blue})
    for (int scale : {k_hist_linear, k_hist_logarithmic})
      ASSERT_NE(cache.histogram(channel, scale), nullptr);

  cache.set_planes(b.r.data(), b.g.data(), b.b.data(), 4);
  std::vector<float> lum(4);
  for (int i = 0; i < 4; ++i) lum[i] = float(0.2125 * b.r[i] + 0.7154 * b.g[i] + 0.0721 * b.b[i]);
  const std::vector<float>* source[k_hist_channels] = {&lum, &b.r, &b.g, &b.b};
  for (int channel : {k_hist_luminance, k_hist_red, k_hist_green, k_hist_blue})
    for (int scale : {k_hist_linear, k_hist_logarithmic}) {
      std::vector<float> values = *source[channel];
      const auto want =
          counts_of(channel_histogram(values.data(), 4, scale == k_hist_logarithmic).get());
      EXPECT_EQ(counts_of(cache.histogram(channel, scale)), want)
          << "channel " << channel << " scale " << scale;
    }
}

TEST(Histogram_cache, EmptyImageGivesZeroCounts) {
  float none = 0.f;
  Histogram_cache cache;
  cache.set_planes(&none, &none, &none, 0);
  const uint32_t* c = cache.histogram(k_hist_luminance, k_hist_logarithmic);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(total(counts_of(c)), 0u);
}

TEST(Hist_box, SetDataCopiesTheCountsAndFindsTheMaximum) {
  HistBox box(0, 0, 512, 149);
  EXPECT_EQ(box.bin_count(), 0);
  EXPECT_EQ(box.bins(), nullptr);
  std::vector<uint32_t> bins = {3, 9, 1};
  box.set_data(bins.data(), 3, 1, 2, 3);
  bins[1] = 0;  // the widget keeps its own copy
  ASSERT_EQ(box.bin_count(), 3);
  EXPECT_EQ(box.bins()[1], 9u);
  EXPECT_EQ(box.maximum(), 9u);
  EXPECT_EQ(box.bar_green(), 2);
  box.set_data(nullptr, 0, 0, 0, 0);
  EXPECT_EQ(box.bin_count(), 0);
  EXPECT_EQ(box.maximum(), 0u);
}

}  // namespace

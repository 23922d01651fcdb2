#include "hdr/response_recovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "core/refusal.h"
#include "hdr/matrix.h"
#include "tests/support/exposure_series.h"
#include "tests/support/progress_recorder.h"

namespace {

using namespace recovery_detail;

// A camera whose inverse response is a known cubic: 0.35 M + 0.25 M^2 + 0.4 M^3.
float cubic_response(double m) { return float(0.35 * m + 0.25 * m * m + 0.4 * m * m * m); }
float gamma_response(double m) { return float(std::pow(m, 2.2)); }

template <typename F>
Response_table inverse_table(F response) {
  Response_table t;
  for (int z = 0; z < 256; ++z) t[size_t(z)] = response(z / 255.0);
  return t;
}

// A still scene of 24 x 24 tiles of uniform radiance, log-uniform over 2.5 decades and
// tinted per channel, so that patches inside tiles are uniform and every exposure of the
// series has usable ones.
std::vector<float> tile_scene(uint32_t w, uint32_t h, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> exponent(-2.5, 0.0);
  const uint32_t tiles_x = (w + 23) / 24, tiles_y = (h + 23) / 24;
  std::vector<double> tile(tiles_x * tiles_y);
  for (double& t : tile) t = std::pow(10.0, exponent(rng));
  std::vector<float> radiance(size_t(w) * h * 3);
  const double tint[3] = {0.9, 1.0, 0.8};
  for (int c = 0; c < 3; ++c)
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x)
        radiance[(size_t(c) * h + y) * w + x] = float(tile[(y / 24) * tiles_x + x / 24] * tint[c]);
  return radiance;
}

struct Recovered {
  int degree = 0;
  float coefficients[3][6] = {};
  Response_table f[3], f_inv[3], f_pri[3];
  Progress_recorder progress;

  int run(Exposure_series& s, uint32_t seed) {
    degree = recover_response(s.planes, s.times.data(), int(s.times.size()), coefficients, f, f_inv,
                              f_pri, progress, seed);
    return degree;
  }
};

// Tables that any recovery must give: finite, from 0 to 1, f_pri the differences of f.
void expect_sound_tables(const Recovered& r) {
  EXPECT_GE(r.degree, k_min_degree);
  EXPECT_LE(r.degree, k_max_degree);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(r.f[c][0], 0.f);
    EXPECT_EQ(r.f[c][255], 1.f);
    EXPECT_EQ(r.f_inv[c][0], 0.f);
    EXPECT_EQ(r.f_inv[c][255], 1.f);
    for (int v = 0; v < 256; ++v) {
      ASSERT_TRUE(std::isfinite(r.f[c][v]) && std::isfinite(r.f_inv[c][v]) &&
                  std::isfinite(r.f_pri[c][v]))
          << c << " " << v;
      EXPECT_GE(r.f[c][v], 0.f) << v;  // no unset entry (-1) is left
      if (v < 255) {
        EXPECT_EQ(r.f_pri[c][v], r.f[c][v + 1] - r.f[c][v]);
      }
    }
    EXPECT_EQ(r.f_pri[c][255], r.f_pri[c][254]);
  }
}

void expect_straight_line(const Recovered& r) {
  EXPECT_EQ(r.degree, 1);
  for (int c = 0; c < 3; ++c)
    for (int z = 0; z < 256; ++z) {
      EXPECT_FLOAT_EQ(r.f_inv[c][z], z / 255.f) << z;
      EXPECT_NEAR(r.f[c][z], z / 255.f, 1e-6) << z;
    }
}

struct Curve_case {
  const char* name;
  float (*response)(double);
  float tolerance;  // on f_inv, in normalised exposure
};

class RecoversKnownCurve : public testing::TestWithParam<Curve_case> {};

TEST_P(RecoversKnownCurve, FromSyntheticSeries) {
  const Curve_case& cc = GetParam();
  const Response_table truth = inverse_table(cc.response);
  const uint32_t w = 480, h = 360;
  Exposure_series series;
  render_exposures(series, tile_scene(w, h, 11), w, h, {1.f, 2.f, 4.f, 8.f, 16.f}, truth.data());
  for (uint32_t seed : {1u, 2u, 3u}) {
    Recovered r;
    r.run(series, seed);
    expect_sound_tables(r);
    for (int c = 0; c < 3; ++c) {
      double worst = 0;
      for (int z = 0; z < 256; ++z)
        worst = std::max(worst, std::abs(double(r.f_inv[c][z]) - truth[size_t(z)]));
      EXPECT_LT(worst, cc.tolerance)
          << cc.name << " seed " << seed << " channel " << c << " degree " << r.degree;
      // f inverts the curve: at linear level v it gives the level whose f_inv is v.
      for (int v = 8; v < 248; v += 16) {
        const float* at = std::lower_bound(truth.begin(), truth.end(), v / 255.f);
        EXPECT_NEAR(r.f[c][v], (at - truth.begin()) / 255.0, 4 * cc.tolerance) << v;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Curves, RecoversKnownCurve,
                         testing::Values(Curve_case{"cubic", cubic_response, 0.01f},
                                         Curve_case{"gamma", gamma_response, 0.015f}),
                         [](const testing::TestParamInfo<Curve_case>& i) { return i.param.name; });

TEST(RecoverResponse, ReportsOnePhaseOfThreeStepsAndIgnoresCancel) {
  const Response_table truth = inverse_table(cubic_response);
  Exposure_series series;
  render_exposures(series, tile_scene(96, 96, 5), 96, 96, {1.f, 4.f}, truth.data());
  Recovered r;
  r.progress.cancel_at_update = 1;
  r.run(series, 9);
  ASSERT_EQ(r.progress.calls.size(), 4u);
  EXPECT_EQ(r.progress.calls[0].what, "start");
  EXPECT_EQ(r.progress.calls[0].label, "Recovering camera response");
  EXPECT_EQ(r.progress.calls[0].maximum, 3.f);
  for (int c = 1; c <= 3; ++c) {
    EXPECT_EQ(r.progress.calls[size_t(c)].what, "update");
    EXPECT_EQ(r.progress.calls[size_t(c)].value, float(c));
  }
}

TEST(RecoverResponse, SameSeedGivesSameTables) {
  const Response_table truth = inverse_table(gamma_response);
  Exposure_series series;
  render_exposures(series, tile_scene(120, 120, 8), 120, 120, {1.f, 3.f, 9.f}, truth.data());
  Recovered a, b;
  a.run(series, 42);
  b.run(series, 42);
  EXPECT_EQ(a.degree, b.degree);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(a.f[c], b.f[c]);
    EXPECT_EQ(a.f_inv[c], b.f_inv[c]);
  }
}

// Series that give no usable pair of patches, or meaningless ones: no crash, no NaN,
// and where nothing can be fitted, the straight line.
TEST(RecoverResponse, DegenerateSeriesGiveSoundTables) {
  const Response_table truth = inverse_table(cubic_response);
  const std::vector<float> scene = tile_scene(96, 96, 3);
  struct Case {
    const char* name;
    std::vector<float> times;
    bool straight;
  };
  const Case cases[] = {
      {"one exposure", {1.f}, true},
      {"zero times", {0.f, 0.f, 0.f}, true},
      {"first time zero", {0.f, 2.f}, true},
      {"negative and NaN", {-1.f, std::numeric_limits<float>::quiet_NaN()}, true},
      {"infinite", {1.f, std::numeric_limits<float>::infinity()}, true},
      {"identical exposures", {2.f, 2.f, 2.f}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Exposure_series series;
    // Rendered with the first finite time so that the pixels are the same in every case.
    render_exposures(series, scene, 96, 96, std::vector<float>(c.times.size(), 1.f), truth.data());
    series.times = c.times;
    Recovered r;
    r.run(series, 4);
    expect_sound_tables(r);
    if (c.straight) expect_straight_line(r);
  }
}

TEST(RecoverResponse, SaturatedTinyAndMismatchedSeriesGiveTheStraightLine) {
  {
    SCOPED_TRACE("all saturated");
    Exposure_series series;
    make_series(series, 64, 64,
                std::vector<std::vector<uint8_t>>(3, std::vector<uint8_t>(64 * 64 * 3, 255)),
                {1.f, 2.f, 4.f});
    Recovered r;
    r.run(series, 1);
    expect_straight_line(r);
  }
  {
    SCOPED_TRACE("narrower than a patch");
    Exposure_series series;
    make_series(series, 11, 40,
                std::vector<std::vector<uint8_t>>(2, std::vector<uint8_t>(11 * 40 * 3, 100)),
                {1.f, 2.f});
    Recovered r;
    r.run(series, 1);
    expect_straight_line(r);
  }
  {
    SCOPED_TRACE("empty");
    Exposure_series series;
    Recovered r;
    r.run(series, 1);
    expect_straight_line(r);
  }
  {
    // The second exposure is smaller than the first: it is not read beyond its end.
    SCOPED_TRACE("smaller second exposure");
    const Response_table truth = inverse_table(cubic_response);
    Exposure_series series;
    render_exposures(series, tile_scene(96, 96, 3), 96, 96, {1.f, 2.f}, truth.data());
    series.pixels[1].resize(48 * 48 * 3);
    series.planes[1] = {series.pixels[1].data(), 48, 48, 3};
    Recovered r;
    r.run(series, 1);
    expect_straight_line(r);
  }
}

// Identical pixels under different times contradict each other; the fit still gives
// finite tables that start at 0 and end at 1.
TEST(RecoverResponse, InconsistentSeriesStaysFinite) {
  const Response_table truth = inverse_table(cubic_response);
  Exposure_series series;
  render_exposures(series, tile_scene(96, 96, 3), 96, 96, {1.f, 1.f, 1.f}, truth.data());
  series.times = {1.f, 4.f, 16.f};
  Recovered r;
  r.run(series, 2);
  expect_sound_tables(r);
}

// Times whose ratio overflows to infinity put NaN into the least-squares system: the
// decomposition cannot converge, and the recovery fails with its refusal instead of
// handing back tables made of NaN.
TEST(RecoverResponse, UnsolvableFitFailsWithTheRefusal) {
  const Response_table truth = inverse_table(cubic_response);
  Exposure_series series;
  render_exposures(series, tile_scene(96, 96, 3), 96, 96, {1.f, 4.f}, truth.data());
  series.times = {std::numeric_limits<float>::max(), 1e-30f};
  Recovered r;
  testing::internal::CaptureStderr();
  try {
    r.run(series, 2);
    ADD_FAILURE() << "the recovery returned degree " << r.degree;
  } catch (const Refusal& refusal) {
    EXPECT_STREQ(refusal.what(), k_response_not_recovered);
  }
  testing::internal::GetCapturedStderr();
}

// A state over hand-made exposures for the sampling rules.
struct Sampling {
  Exposure_series series;
  Recovery_state state;

  Sampling(uint32_t w, uint32_t h, uint8_t level, int exposures) {
    make_series(series, w, h,
                std::vector<std::vector<uint8_t>>(size_t(exposures),
                                                  std::vector<uint8_t>(size_t(w) * h * 3, level)),
                std::vector<float>(size_t(exposures), 1.f));
    for (int e = 0; e < exposures; ++e) series.times[size_t(e)] = float(e + 1);
    init_recovery_state(state, series.planes, series.times.data(), exposures, 7);
  }
  void set(int e, int c, uint32_t x, uint32_t y, uint8_t v) {
    series.pixels[size_t(e)][(size_t(c) * series.height + y) * series.width + x] = v;
  }
  void hold(int e, int slot, int32_t x, int32_t y, float mean) {
    Patch_record& p = state.patches[size_t(e)][size_t(slot)];
    p.x = x, p.y = y, p.mean = mean, p.held = 1;
  }
};

TEST(RecoverySampling, LevelsFiveAndTwoHundredFiftyAreUsable) {
  struct Case {
    uint8_t level;
    bool clipped;
  };
  for (const Case& c : {Case{5, false}, Case{250, false}, Case{4, true}, Case{251, true}}) {
    Sampling s(24, 24, 128, 1);
    s.set(0, 0, 11, 11, c.level);  // the last pixel of the patch at (0, 0)
    EXPECT_EQ(patch_has_clipped_pixel(s.state, 0, 0, 0), c.clipped) << int(c.level);
    EXPECT_FALSE(patch_has_clipped_pixel(s.state, 0, 12, 12));
    s.state.channel = 1;  // another channel's planes are not looked at
    EXPECT_FALSE(patch_has_clipped_pixel(s.state, 0, 0, 0));
  }
}

TEST(RecoverySampling, OverlapIsHalfOpen) {
  Sampling s(64, 64, 128, 1);
  s.hold(0, 3, 20, 20, 128.f);
  EXPECT_TRUE(patch_overlaps_kept(s.state, 0, 8, 20));  // 12 to the left
  EXPECT_TRUE(patch_overlaps_kept(s.state, 0, 20, 8));  // 12 above
  EXPECT_TRUE(patch_overlaps_kept(s.state, 0, 31, 31));
  EXPECT_FALSE(patch_overlaps_kept(s.state, 0, 32, 20));  // 12 to the right
  EXPECT_FALSE(patch_overlaps_kept(s.state, 0, 20, 32));  // 12 below
  EXPECT_FALSE(patch_overlaps_kept(s.state, 0, 7, 20));
}

TEST(RecoverySampling, MeanAndVarianceOfAPatch) {
  Sampling s(12, 12, 100, 1);
  s.set(0, 0, 0, 0, 112);  // one value 12 above the rest
  const float mean = patch_mean(s.state, 0, 0, 0);
  EXPECT_FLOAT_EQ(mean, 100.f + 12.f / 144.f);
  const double expected = (143 * std::pow(12.0 / 144, 2) + std::pow(12 - 12.0 / 144, 2)) / 143;
  EXPECT_NEAR(patch_variance(s.state, 0, mean, 0, 0), expected, 1e-4);
}

TEST(RecoverySampling, LaterExposureNeverDrawsABrighterPatch) {
  Sampling s(48, 48, 120, 2);
  s.hold(1, 0, 0, 0, 100.f);  // held there, darker than everything else
  EXPECT_FALSE(mean_not_above_kept(s.state, 1, 120.f));
  EXPECT_TRUE(mean_not_above_kept(s.state, 1, 100.f));
  EXPECT_FALSE(pick_random_patch(s.state, 1, 1));  // uniform and unclipped, but brighter
  EXPECT_TRUE(pick_random_patch(s.state, 0, 0));   // the first exposure has no such rule
  const Patch_record& p = s.state.patches[0][0];
  EXPECT_TRUE(p.held);
  EXPECT_LE(p.x, 36);
  EXPECT_LE(p.y, 36);
  EXPECT_EQ(p.mean, 120.f);
  EXPECT_EQ(p.values[5][7][0], 120);
}

TEST(RecoverySampling, NoisyPatchesAreRejected) {
  Sampling s(24, 24, 100, 1);
  for (uint32_t y = 0; y < 24; ++y)
    for (uint32_t x = 0; x < 24; ++x) s.set(0, 0, x, y, uint8_t((x + y) % 2 ? 90 : 110));
  EXPECT_GT(patch_variance(s.state, 0, patch_mean(s.state, 0, 3, 3), 3, 3), k_variance_limit);
  EXPECT_FALSE(pick_random_patch(s.state, 0, 0));
}

TEST(RecoveryDegree, TiesKeepTheLowerDegreeAndTheEarlierChannel) {
  Recovery_state s;
  for (int c = 0; c < 3; ++c)
    for (int d = 1; d <= 5; ++d) s.err[c][d] = 1.f;
  EXPECT_EQ(choose_degree(s), 1);
  // Red is best at 3, green at 4; both degrees have the same mean error: red wins.
  s.err[0][3] = 0.5f;
  s.err[1][4] = 0.5f;
  EXPECT_EQ(choose_degree(s), 3);
  // Blue best at 5 with a lower mean error across the channels.
  s.err[2][5] = 0.1f;
  s.err[0][5] = 0.6f;
  s.err[1][5] = 0.6f;
  EXPECT_EQ(choose_degree(s), 5);
}

TEST(TabulateResponse, DegreeOneIsTheStraightLine) {
  Recovered r;
  const float coefficients[3][6] = {{0, 1}, {0, 1}, {0, 1}};
  tabulate_response(coefficients, 1, r.f, r.f_inv, r.f_pri);
  r.degree = 1;
  expect_straight_line(r);
  EXPECT_NEAR(r.f_pri[1][100], 1 / 255.0, 1e-6);
}

TEST(TabulateResponse, OutOfRangeAndFallingPolynomialsGiveBoundedTables) {
  Recovered r;
  r.degree = 3;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // Red rises above 1 and is clamped; green falls below 0 and back; blue is not a number.
  const float coefficients[3][6] = {{0, 3, -1, 0}, {0, -2, 0, 3}, {0, nan, 0, 1}};
  tabulate_response(coefficients, 3, r.f, r.f_inv, r.f_pri);
  expect_sound_tables(r);
  for (int c = 0; c < 3; ++c)
    for (int z = 0; z < 256; ++z) {
      EXPECT_GE(r.f_inv[c][z], 0.f);
      EXPECT_LE(r.f_inv[c][z], 1.f);
    }
  EXPECT_EQ(r.f_inv[1][40], 0.f);  // -2 M + 3 M^3 is negative there
  EXPECT_EQ(r.f_inv[0][200], 1.f);
}

TEST(TabulateResponse, SkippedLinearLevelsAreInterpolated) {
  Recovered r;
  // M^2 normalised: dark levels map densely, so f has gaps near 1 that are filled.
  const float coefficients[3][6] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
  tabulate_response(coefficients, 2, r.f, r.f_inv, r.f_pri);
  r.degree = 2;
  expect_sound_tables(r);
  for (int v = 1; v < 255; ++v) {
    EXPECT_GE(r.f[0][v], r.f[0][v - 1]) << v;
    EXPECT_NEAR(r.f[0][v], std::sqrt(v / 255.0), 0.02) << v;
  }
  // Each filled level lies strictly between its neighbours: a flat step would give a zero
  // derivative, which the merge weights would take for a level that tells nothing.
  for (int c = 0; c < 3; ++c)
    for (int v = 1; v < 256; ++v) {
      EXPECT_GT(r.f[c][v], r.f[c][v - 1]) << "channel " << c << " level " << v;
      EXPECT_GT(r.f_pri[c][v - 1], 0.f) << "channel " << c << " level " << v - 1;
    }
}

}  // namespace

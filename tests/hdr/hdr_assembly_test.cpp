#include "hdr/hdr_assembly.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>

#include "hdr/merge_kernel.h"
#include "tests/support/exposure_series.h"
#include "tests/support/progress_recorder.h"
#include "tests/support/refusal.h"
#include "tests/support/scripted_messages.h"

namespace {

using Levels = std::vector<std::vector<uint8_t>>;

// One grey pixel per exposure, as planar RGB.
std::vector<uint8_t> grey(uint8_t z) { return {z, z, z}; }

struct Assembly {
  std::unique_ptr<Assembly_state> state = std::make_unique<Assembly_state>();
  Assembly_settings settings;
  Progress_recorder progress;
  Scripted_messages messages;
  Message_questions questions;

  // Merges the series into a new result of the series' size.
  int run(Exposure_series& series, Hdr_image& result) {
    result = Hdr_image(series.width, series.height, 1, 3, 0.f);
    return build_hdr(*state, result, series.planes, series.times, settings, progress, questions);
  }
};

// The merge of one pixel, in double, straight from the formula.
double merged_value(const Active_response& r, int c, const std::vector<std::vector<uint8_t>>& px,
                    const std::vector<float>& t) {
  double sum = 0, wsum = 0;
  for (size_t m = 0; m < px.size(); ++m) {
    const int l = int(0.7152 * px[m][1] + 0.2126 * px[m][0] + 0.0722 * px[m][2] + 0.5);
    const int z = px[m][c];
    const double h = std::pow(l / 127.5 - 1, 12);
    const double w = double(r.f_pri[c][z]) * r.f_inv[c][z] * (1 - h) + 1e-6;
    sum += w * r.f_inv[c][z] / t[m];
    wsum += w;
  }
  return sum / wsum;
}

TEST(BuildHdr, LinearTwoExposuresGiveTheWeightedMean) {
  Assembly a;
  a.settings.response_choice = k_response_linear;
  Exposure_series series;
  const Levels levels = {grey(100), grey(210)};
  make_series(series, 1, 1, levels, {1.f, 2.f});
  Hdr_image result;
  ASSERT_EQ(a.run(series, result), 0);
  const double weighted = merged_value(a.state->response.active, 1, levels, series.times);
  const double plain = (100 / 255.0 + 210 / 255.0 / 2) / 2;
  ASSERT_GT(std::abs(weighted - plain), 1e-3);  // the case tells the two apart
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(result(0, 0, 0, c), weighted, 1e-6 * weighted);
}

// Where every exposure is at luminance level 255 every weight is at its floor: the pixel
// takes the shortest exposure's estimate, not the plain mean that the brighter exposures'
// small values pull down. At level 0 in every exposure it takes the longest exposure's.
TEST(BuildHdr, SrgbClippedEverywhereTakesTheShortestOrLongestExposure) {
  Assembly a;
  Exposure_series series;
  // Pixel 0 saturated in every exposure; pixel 1 with a channel black in every exposure;
  // pixel 2 at luminance level 0 in every exposure, its red channel not at level 0.
  make_series(series, 3, 1,
              {{255, 40, 1, 255, 60, 0, 255, 0, 0},
               {255, 90, 2, 255, 150, 0, 255, 0, 0},
               {255, 170, 2, 255, 240, 0, 255, 0, 0}},
              {1.f, 4.f, 16.f});
  Hdr_image result;
  ASSERT_EQ(a.run(series, result), 0);
  const Fixed_responses& r = a.state->response.fixed;
  for (int c = 0; c < 3; ++c) EXPECT_EQ(result(0, 0, 0, c), r.f_inv_srgb[255] / 1.f) << c;
  EXPECT_EQ(result(1, 0, 0, 2), 0.f);
  EXPECT_GT(result(1, 0, 0, 0), 0.f);
  EXPECT_EQ(result(2, 0, 0, 0), r.f_inv_srgb[2] / 16.f);
  EXPECT_EQ(result(2, 0, 0, 1), 0.f);
}

// The merge of one pixel and channel as the weighted mean is formed: single-precision
// pairs (W, W * Rad) summed in exposure order, then normalised and limited.
float weighted_mean_bits(const Assembly_state& state, const Exposure_series& series, uint64_t p,
                         int c) {
  const Active_response& r = state.response.active;
  const uint64_t plane = series.planes[0].plane_size();
  float wsum = 0.f, sum = 0.f;
  for (size_t m = 0; m < series.pixels.size(); ++m) {
    const uint8_t* px = series.pixels[m].data();
    const uint8_t z[3] = {px[p], px[plane + p], px[2 * plane + p]};
    const float y = 0.7152f * float(z[1]) + 0.2126f * float(z[0]) + 0.0722f * float(z[2]) + 0.5f;
    const float w = state.weights.row(c, z[c])[int(y) & 0xff];
    const float rad = r.f_inv[c][z[c]] / series.times[m];
    wsum += w;
    sum += w * rad;
  }
  const float v = sum / (wsum + 1e-12f);
  return v > 0.f ? std::min(v, FLT_MAX) : 0.f;
}

// A scene whose centre patch is saturated in all three exposures, ringed by values up to
// just below what the shortest exposure can show: the patch takes the shortest exposure's
// value and stays at least as bright as its ring; every pixel outside it is the weighted
// mean, bit for bit.
TEST(BuildHdr, PatchSaturatedInEveryExposureIsNotDarkerThanItsBorder) {
  constexpr uint32_t w = 40, h = 30;
  const uint32_t x0 = 14, x1 = 26, y0 = 10, y1 = 20;  // the patch [x0, x1) x [y0, y1)
  std::vector<float> radiance(w * h * 3);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const bool patch = x >= x0 && x < x1 && y >= y0 && y < y1;
      // Rising towards the patch: 0.97 right beside it, lower further out.
      const int dx = x < x0 ? int(x0 - x) : x >= x1 ? int(x - x1 + 1) : 0;
      const int dy = y < y0 ? int(y0 - y) : y >= y1 ? int(y - y1 + 1) : 0;
      const float e = patch ? 6.f : 0.97f * std::pow(0.8f, float(std::max(dx, dy) - 1));
      for (int c = 0; c < 3; ++c) radiance[(c * h + y) * w + x] = e * (1.f - 0.05f * c);
    }
  Assembly a;
  int choice = k_response_srgb;
  ASSERT_EQ(select_response(a.state->response, choice, {}, {}, nullptr, a.questions), 0);
  Exposure_series series;
  render_exposures(series, radiance, w, h, {1.f, 4.f, 16.f}, a.state->response.active.f_inv[0]);
  Hdr_image result;
  ASSERT_EQ(a.run(series, result), 0);

  const float top = a.state->response.active.f_inv[0][255];
  float ring_max = 0.f;
  for (uint32_t y = y0 - 1; y <= y1; ++y)
    for (uint32_t x = x0 - 1; x <= x1; ++x)
      if (x == x0 - 1 || x == x1 || y == y0 - 1 || y == y1) {
        ASSERT_LT(series.pixels[0][y * w + x], 255) << "the ring is unclipped in the shortest";
        ring_max = std::max(ring_max, result(x, y, 0, 1));
      }
  ASSERT_GT(ring_max, 0.5f * top);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const bool patch = x >= x0 && x < x1 && y >= y0 && y < y1;
      for (int c = 0; c < 3; ++c) {
        if (patch) {
          ASSERT_EQ(result(x, y, 0, c), top / 1.f) << x << "," << y << " channel " << c;
          ASSERT_GE(result(x, y, 0, c), ring_max);
        } else {
          ASSERT_EQ(result(x, y, 0, c), weighted_mean_bits(*a.state, series, y * w + x, c))
              << x << "," << y << " channel " << c;
        }
      }
    }
}

// A sun clipped even in the shortest exposure of a rendered bracket, with every level of
// every frame moved by -1, 0 or +1 as a camera's noise and JPEG rounding move it: inside
// the sun some longer exposure sits a level or two under white and the hat gives it a real
// weight. No pixel of the clipped area may come out below the shortest exposure's
// estimate, in any version of the kernel; every other pixel is the weighted mean, bit for
// bit.
TEST(BuildHdr, SunClippedInTheShortestNoisyExposureTakesItsValue) {
  constexpr uint32_t w = 67, h = 41;  // rows of 67 leave vector tails
  const float cx = 40.f, cy = 18.f;
  std::mt19937 rng(5);
  std::uniform_real_distribution<float> texture(0.6f, 1.4f);
  std::vector<float> radiance(w * h * 3);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const float d = std::hypot(float(x) - cx, float(y) - cy);
      // The sun, a glow falling from it, and textured ground over three more stops.
      const float e = d < 9.f ? 50.f : 0.02f * texture(rng) + 0.9f * std::exp(-(d - 9.f) / 4.f);
      for (int c = 0; c < 3; ++c) radiance[(c * h + y) * w + x] = e * (1.f - 0.04f * c);
    }
  Assembly a;
  int choice = k_response_srgb;
  ASSERT_EQ(select_response(a.state->response, choice, {}, {}, nullptr, a.questions), 0);
  const float* f_inv = a.state->response.active.f_inv[0];
  Exposure_series series;
  render_exposures(series, radiance, w, h, {1.f, 4.f, 16.f, 64.f}, f_inv);
  std::uniform_int_distribution<int> step(-1, 1);
  for (auto& frame : series.pixels)
    for (uint8_t& v : frame) v = uint8_t(std::clamp(int(v) + step(rng), 0, 255));
  const uint64_t plane = uint64_t(w) * h;
  auto in_sun = [&](uint64_t p) { return radiance[p] * series.times[0] >= f_inv[255]; };
  int longer_under_white = 0;  // sun pixels where the noise left a longer exposure < 255
  for (uint64_t p = 0; p < plane; ++p)
    if (in_sun(p))
      for (size_t m = 1; m < series.pixels.size(); ++m)
        longer_under_white += series.pixels[m][plane + p] < 255;
  ASSERT_GT(longer_under_white, 20) << "the case needs noise inside the sun";

  const std::string original = merge_kernel_name();
  for (const char* kernel : {"scalar", "avx2", "avx512"}) {
    if (!use_merge_kernel(kernel)) continue;
    SCOPED_TRACE(kernel);
    Hdr_image result;
    ASSERT_EQ(a.run(series, result), 0);
    int sun = 0;
    for (uint64_t p = 0; p < plane; ++p) {
      const uint32_t x = uint32_t(p % w), y = uint32_t(p / w);
      for (int c = 0; c < 3; ++c) {
        const float v = result(x, y, 0, c);
        if (in_sun(p)) {
          const float shortest = f_inv[series.pixels[0][c * plane + p]] / series.times[0];
          ASSERT_GE(v, shortest) << x << "," << y << " channel " << c;
          sun += c == 0;
          continue;
        }
        // Outside the sun the shortest exposure is under the clip level.
        ASSERT_EQ(v, weighted_mean_bits(*a.state, series, p, c))
            << x << "," << y << " channel " << c;
      }
    }
    EXPECT_GT(sun, 200);
  }
  use_merge_kernel(original.c_str());
}

TEST(BuildHdr, OneExposureGivesInverseResponseOverTime) {
  Assembly a;
  Exposure_series series;
  make_series(series, 1, 1, {{10, 128, 250}}, {0.5f});
  Hdr_image result;
  ASSERT_EQ(a.run(series, result), 0);
  const Fixed_responses& r = a.state->response.fixed;
  EXPECT_NEAR(result(0, 0, 0, 0), r.f_inv_srgb[10] / 0.5, 1e-6 * r.f_inv_srgb[10]);
  EXPECT_NEAR(result(0, 0, 0, 1), r.f_inv_srgb[128] / 0.5, 1e-6);
  EXPECT_NEAR(result(0, 0, 0, 2), r.f_inv_srgb[250] / 0.5, 1e-6);
}

// Random levels over a size that crosses the merge's internal blocks and progress runs:
// each pixel merged within the whole image equals the same pixel merged alone.
TEST(BuildHdr, WholeImageMatchesPixelsMergedAlone) {
  const uint32_t w = 53, h = 41;
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> level(0, 255);
  Levels levels(4, std::vector<uint8_t>(w * h * 3));
  for (auto& e : levels)
    for (auto& v : e) v = uint8_t(level(rng));
  const std::vector<float> times = {0.25f, 1.f, 3.f, 9.f};
  Assembly a;
  Exposure_series series;
  make_series(series, w, h, levels, times);
  Hdr_image whole;
  ASSERT_EQ(a.run(series, whole), 0);
  for (uint32_t p = 0; p < w * h; p += 97) {
    Levels one(4, std::vector<uint8_t>(3));
    for (int m = 0; m < 4; ++m)
      for (int c = 0; c < 3; ++c) one[m][c] = levels[m][c * w * h + p];
    Exposure_series single;
    make_series(single, 1, 1, one, times);
    Hdr_image alone;
    ASSERT_EQ(a.run(single, alone), 0);
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(whole(p % w, p / w, 0, c), alone(0, 0, 0, c)) << p;
      const double expected = merged_value(a.state->response.active, c, one, times);
      EXPECT_NEAR(alone(0, 0, 0, c), expected, 2e-6 * expected + 1e-30) << p;
    }
  }
  // A second run on the same input gives the same image.
  Hdr_image again;
  ASSERT_EQ(a.run(series, again), 0);
  EXPECT_EQ(0, std::memcmp(whole.data(), again.data(), whole.size() * sizeof(float)));
}

TEST(BuildHdr, UniformExposuresGiveAUniformImage) {
  Assembly a;
  Levels levels;
  for (uint8_t z : {30, 90, 200}) levels.push_back(std::vector<uint8_t>(7 * 5 * 3, z));
  Exposure_series series;
  make_series(series, 7, 5, levels, {1.f, 3.f, 9.f});
  Hdr_image result;
  ASSERT_EQ(a.run(series, result), 0);
  for (uint64_t i = 0; i < result.size(); ++i) ASSERT_EQ(result[i], result[0]) << i;
}

TEST(BuildHdr, ReportsEachExposureOnTheProgress) {
  Assembly a;
  a.settings.reduce_noise = true;
  Exposure_series series;
  make_series(series, 3, 2, Levels(5, std::vector<uint8_t>(18, 100)), {1, 2, 4, 8, 16});
  Hdr_image result;
  ASSERT_EQ(a.run(series, result), 0);
  EXPECT_EQ(a.progress.phases(), (std::vector<std::string>{"Reducing noise", "Assembling images"}));
  int index = 0;
  for (const auto& call : a.progress.calls) {
    if (call.what == "start") {
      EXPECT_EQ(call.minimum, 0.f);
      EXPECT_EQ(call.maximum, 5.f);
      index = 0;
    } else {
      EXPECT_EQ(call.what, "update");
      EXPECT_EQ(call.value, float(++index));
      EXPECT_EQ(call.label, "");
    }
  }
}

struct Cancel_case {
  bool reduce_noise;
  int cancel_at;  // 1-based update number
  std::vector<std::string> phases;
};

class BuildHdrCancel : public ::testing::TestWithParam<Cancel_case> {};

TEST_P(BuildHdrCancel, ReturnsMinusOne) {
  Assembly a;
  a.settings.reduce_noise = GetParam().reduce_noise;
  a.progress.cancel_at_update = GetParam().cancel_at;
  Exposure_series series;
  make_series(series, 4, 4, Levels(5, std::vector<uint8_t>(48, 120)), {1, 2, 4, 8, 16});
  Hdr_image result;
  EXPECT_EQ(a.run(series, result), -1);
  EXPECT_EQ(a.progress.phases(), GetParam().phases);
  EXPECT_EQ(a.progress.calls.back().what, "update");
  EXPECT_EQ(a.progress.calls.back().value,
            float(GetParam().cancel_at > 5 ? GetParam().cancel_at - 5 : GetParam().cancel_at));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildHdrCancel,
    ::testing::Values(Cancel_case{false, 1, {"Assembling images"}},
                      Cancel_case{false, 5, {"Assembling images"}},  // only the last was left
                      Cancel_case{true, 2, {"Reducing noise"}},
                      Cancel_case{true, 10, {"Reducing noise", "Assembling images"}}));

int g_align_calls = 0;
int align_cancelled(std::vector<Exposure_planes>&, Progress&, std::vector<int>&) {
  ++g_align_calls;
  return -1;
}
int align_clear_first_pixel(std::vector<Exposure_planes>& exposures, Progress& progress,
                            std::vector<int>&) {
  ++g_align_calls;
  progress.start(0, 0, 1, "Aligning images");
  for (auto& e : exposures)
    for (uint32_t c = 0; c < 3; ++c) e.plane(c)[0] = 0;
  return progress.update(1);
}

TEST(BuildHdr, AlignmentHookRunsOnlyWhenAsked) {
  Assembly a;
  a.settings.align_exposures = align_clear_first_pixel;
  Exposure_series series;
  make_series(series, 2, 1, Levels(2, std::vector<uint8_t>(6, 128)), {1, 2});
  Hdr_image result;
  g_align_calls = 0;
  ASSERT_EQ(a.run(series, result), 0);
  EXPECT_EQ(g_align_calls, 0);
  a.settings.align = true;
  ASSERT_EQ(a.run(series, result), 0);
  EXPECT_EQ(g_align_calls, 1);
  EXPECT_EQ(result(0, 0, 0, 1), 0.f);  // merged after the hook rewrote the pixel
  EXPECT_GT(result(1, 0, 0, 1), 0.f);
  a.settings.align_exposures = align_cancelled;
  a.progress.calls.clear();
  EXPECT_EQ(a.run(series, result), -1);
  EXPECT_EQ(a.progress.phases(), std::vector<std::string>{});
  a.settings.align_exposures = nullptr;  // no alignment yet: "Align images" changes nothing
  EXPECT_EQ(a.run(series, result), 0);
}

TEST(BuildHdr, CancelledResponseQuestionComputesNothing) {
  Assembly a;
  a.settings.response_choice = k_response_use_recovered;  // nothing stored: a question
  a.messages.answers = {0};
  Exposure_series series;
  make_series(series, 1, 1, {grey(100), grey(200)}, {1, 2});
  Hdr_image result;
  EXPECT_EQ(a.run(series, result), -1);
  EXPECT_EQ(a.messages.questions.size(), 1u);
  EXPECT_TRUE(a.progress.calls.empty());
  EXPECT_EQ(result(0, 0, 0, 0), 0.f);
}

// --- Noise reduction -------------------------------------------------------------------

// Levels of every exposure after a merge with noise reduction and the linear response.
Levels smoothed(const Levels& levels, const std::vector<float>& times, uint32_t w = 1) {
  Assembly a;
  a.settings.response_choice = k_response_linear;
  a.settings.reduce_noise = true;
  Exposure_series series;
  make_series(series, w, 1, levels, times);
  Hdr_image result;
  EXPECT_EQ(a.run(series, result), 0);
  return series.pixels;
}

TEST(ReduceNoise, DarkestExposureMovesToItsNeighboursIrradiance) {
  // Irradiances 100/255 and 210/255/2: exposure 0 is averaged with weights t0 = 1 and
  // t1 T[210] = 2 * 0.896, exposure 1 only with itself.
  const Levels out = smoothed({grey(100), grey(210)}, {1, 2});
  const double mean = (100 / 255.0 + 1.792 * 210 / 255.0 / 2) / 2.792;
  const int expected = int(mean * 255);
  ASSERT_EQ(expected, 103);
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(out[0][c], expected, 1) << c;  // F truncates, so one level below may come
    EXPECT_NEAR(out[1][c], 210, 1) << c;
  }
}

TEST(ReduceNoise, SaturatedNeighbourContributesNothing) {
  // T is 0 from level 250: the result is that of the exposure smoothed on its own.
  const Levels alone = smoothed({grey(100)}, {1});
  const Levels with = smoothed({grey(100), grey(252)}, {1, 2});
  EXPECT_EQ(with[0], alone[0]);
  const Levels faded = smoothed({grey(100), grey(240)}, {1, 2});
  EXPECT_NE(faded[0], alone[0]);  // within the taper the neighbour still counts a little
}

TEST(ReduceNoise, WindowIsTheExposureAndFiveBrighterOnes) {
  const std::vector<float> times = {1, 1.5f, 2, 3, 4, 6, 8};
  Levels base;
  for (int m = 0; m < 7; ++m) base.push_back(grey(uint8_t(60 + 10 * m)));
  const Levels ref = smoothed(base, times);
  Levels sixth_changed = base, seventh_changed = base;
  sixth_changed[5] = grey(190);
  seventh_changed[6] = grey(20);
  EXPECT_NE(smoothed(sixth_changed, times)[0], ref[0]);    // exposure 5 is in 0's window
  EXPECT_EQ(smoothed(seventh_changed, times)[0], ref[0]);  // exposure 6 is not
  EXPECT_NE(smoothed(seventh_changed, times)[1], ref[1]);  // but it is in 1's
  // The last exposure is smoothed only with itself.
  Levels others_changed = base;
  for (int m = 0; m < 6; ++m) others_changed[m] = grey(uint8_t(5 + m));
  EXPECT_EQ(smoothed(others_changed, times)[6], ref[6]);
}

TEST(ReduceNoise, MeanBeyondTheTableIsClamped) {
  // The neighbour's irradiance (200/255 / 0.5) exceeds what exposure 0 can show.
  const Levels out = smoothed({{255, 255, 255}, {200, 200, 200}}, {1, 0.5f});
  for (int c = 0; c < 3; ++c) EXPECT_EQ(out[0][c], 255) << c;
}

class ReduceNoiseOneExposure : public ::testing::TestWithParam<int> {};

TEST_P(ReduceNoiseOneExposure, EveryLevelGoesThroughTheTruncatedTables) {
  // Alone in its window an exposure's mean is its own irradiance f_inv(z) / t, so level z
  // becomes F((int)(f_inv(z) / t * t * 255)) with F(v) = (int)(f(v) * 255): both steps
  // truncate toward zero in single precision, which may move a level down by one.
  Assembly a;
  a.settings.response_choice = GetParam();
  a.settings.reduce_noise = true;
  std::vector<uint8_t> ramp(256 * 3);
  for (int i = 0; i < 256 * 3; ++i) ramp[i] = uint8_t(i % 256);
  const float t = 0.37f;
  Exposure_series series;
  make_series(series, 256, 1, {ramp}, {t});
  Hdr_image result;
  ASSERT_EQ(a.run(series, result), 0);
  const Active_response& r = a.state->response.active;
  int moved = 0;
  for (int z = 0; z < 256; ++z) {
    const float x = t * (r.f_inv[0][z] / t) / (t + 1e-12f) * (t * 255.f);
    const int v = x >= 255.f ? 255 : x > 0.f ? int(x) : 0;
    const int expected = int(r.f[0][v] * 255.f);
    for (int c = 0; c < 3; ++c) ASSERT_EQ(series.pixels[0][c * 256 + z], expected) << z;
    moved += expected != z;
  }
  EXPECT_GT(moved, 0);  // the case tells truncation from rounding
}

INSTANTIATE_TEST_SUITE_P(Responses, ReduceNoiseOneExposure,
                         ::testing::Values(k_response_srgb, k_response_linear),
                         [](const auto& info) {
                           return std::string(info.param == k_response_srgb ? "srgb" : "linear");
                         });

// --- Refusals and range of the result ---------------------------------------------------

struct Refusal_case {
  const char* name;
  uint32_t width, height, channels;  // of exposure 1
  float time1;
  const char* alert;
};

class BuildHdrRefuses : public ::testing::TestWithParam<Refusal_case> {};

TEST_P(BuildHdrRefuses, GroupBeforeAnyWork) {
  const Refusal_case& r = GetParam();
  Assembly a;
  a.settings.response_choice = k_response_recover;  // would ask a question if reached
  std::vector<uint8_t> first(4 * 3 * 3, 100),
      second(uint64_t(r.width) * r.height * r.channels, 150);
  std::vector<Exposure_planes> planes = {{first.data(), 4, 3, 3},
                                         {second.data(), r.width, r.height, r.channels}};
  Hdr_image result(4, 3, 1, 3, 0.f);
  EXPECT_EQ(
      refusal_of([&] {
        build_hdr(*a.state, result, planes, {1.f, r.time1}, a.settings, a.progress, a.questions);
      }),
      r.alert);
  EXPECT_TRUE(a.messages.alerts.empty());
  EXPECT_TRUE(a.messages.questions.empty());
  EXPECT_TRUE(a.progress.calls.empty());
  EXPECT_EQ(second, std::vector<uint8_t>(second.size(), 150));
}

const float k_nan = std::numeric_limits<float>::quiet_NaN();
const float k_inf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildHdrRefuses,
    ::testing::Values(Refusal_case{"wider", 5, 3, 3, 2.f, k_message_size_mismatch},
                      Refusal_case{"shorter", 4, 2, 3, 2.f, k_message_size_mismatch},
                      Refusal_case{"grey", 4, 3, 1, 2.f, k_message_size_mismatch},
                      Refusal_case{"zero_time", 4, 3, 3, 0.f, k_message_bad_exposure},
                      Refusal_case{"negative_time", 4, 3, 3, -2.f, k_message_bad_exposure},
                      Refusal_case{"nan_time", 4, 3, 3, k_nan, k_message_bad_exposure},
                      Refusal_case{"infinite_time", 4, 3, 3, k_inf, k_message_bad_exposure}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BuildHdr, RefusesAResultOfAnotherSize) {
  Assembly a;
  Exposure_series series;
  make_series(series, 2, 2, Levels(2, std::vector<uint8_t>(12, 100)), {1, 2});
  Hdr_image result(3, 2, 1, 3, 0.f);
  EXPECT_EQ(refusal_of([&] {
              build_hdr(*a.state, result, series.planes, series.times, a.settings, a.progress,
                        a.questions);
            }),
            k_message_size_mismatch);
}

// A camera response full of what a failed recovery or a damaged store can leave.
class Broken_source : public Camera_response_source {
 public:
  bool recover_and_check(const std::vector<Exposure_planes>&, const std::vector<float>&,
                         Camera_response&) override {
    return false;
  }
  bool load(Camera_response& camera) override {
    const float junk[] = {k_nan, k_inf, -k_inf, -3.f, 1e38f, 0.f, 5e-39f, 1.f};
    for (int c = 0; c < 3; ++c)
      for (int z = 0; z < 256; ++z) {
        camera.f[c][z] = junk[(z + c) % 8];
        camera.f_pri[c][z] = junk[(z * 3 + c) % 8];
        camera.f_inv[c][z] = junk[(z * 5 + c) % 8];
      }
    return true;
  }
};

TEST(BuildHdr, ResultStaysFiniteAndNonNegativeWhateverTheTablesHold) {
  for (bool noise : {false, true}) {
    Assembly a;
    Broken_source source;
    a.settings.camera_source = &source;
    a.settings.response_choice = k_response_use_recovered;
    a.settings.reduce_noise = noise;
    Levels levels(3, std::vector<uint8_t>(16 * 16 * 3));
    for (int m = 0; m < 3; ++m)
      for (size_t i = 0; i < levels[m].size(); ++i) levels[m][i] = uint8_t(i * 7 + m * 31);
    Exposure_series series;
    make_series(series, 16, 16, levels, {1e-30f, 1.f, 3e30f});
    Hdr_image result;
    ASSERT_EQ(a.run(series, result), 0);
    for (uint64_t i = 0; i < result.size(); ++i) {
      ASSERT_TRUE(result[i] >= 0.f && result[i] <= FLT_MAX) << i << " " << result[i];
    }
  }
}

TEST(BuildHdr, TinyExposureTimeSaturatesInsteadOfOverflowing) {
  Assembly a;
  Exposure_series series;
  make_series(series, 1, 1, {grey(128), grey(200)}, {1e-44f, 1e-43f});
  Hdr_image result;
  ASSERT_EQ(a.run(series, result), 0);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(result(0, 0, 0, c), FLT_MAX);
}

}  // namespace

// The merge against a scene of known radiance, rendered into 8-bit exposures through the
// very response the merge is told to assume.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "hdr/hdr_assembly.h"
#include "tests/support/exposure_series.h"

namespace {

constexpr uint32_t k_width = 512, k_height = 48;
constexpr int k_stops = 16;

// A left-to-right ramp over 16 stops with a wave across it, slightly coloured.
std::vector<float> scene() {
  const float tint[3] = {1.f, 0.85f, 0.7f};
  std::vector<float> radiance(k_width * k_height * 3);
  for (uint32_t y = 0; y < k_height; ++y)
    for (uint32_t x = 0; x < k_width; ++x) {
      const double stops =
          -k_stops + k_stops * (x + 0.5) / k_width + 0.25 * std::sin(0.7 * y + 0.05 * x);
      for (int c = 0; c < 3; ++c)
        radiance[(c * k_height + y) * k_width + x] = float(std::exp2(stops) * tint[c]);
    }
  return radiance;
}

double median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

class MergeAccuracy : public ::testing::TestWithParam<int> {};

TEST_P(MergeAccuracy, MatchesTheSceneWithinTwoPercent) {
  auto state = std::make_unique<Assembly_state>();
  Assembly_settings settings;
  settings.response_choice = GetParam();
  int choice = GetParam();
  Message_questions questions;  // sRGB and linear ask nothing
  ASSERT_EQ(select_response(state->response, choice, {}, {}, nullptr, questions), 0);
  const float* f_inv = state->response.active.f_inv[0];

  const std::vector<float> truth = scene();
  Exposure_series series;
  render_exposures(series, truth, k_width, k_height, {1, 4, 16, 64, 256}, f_inv);
  Hdr_image result(k_width, k_height, 1, 3, 0.f);
  Silent_progress progress;
  ASSERT_EQ(build_hdr(*state, result, series.planes, series.times, settings, progress, questions),
            0);

  // Values well exposed (level 32 to 224) in at least one shot.
  std::vector<size_t> counted;
  for (size_t i = 0; i < truth.size(); ++i) {
    for (const auto& e : series.pixels)
      if (e[i] >= 32 && e[i] <= 224) {
        counted.push_back(i);
        break;
      }
  }
  ASSERT_GT(counted.size(), truth.size() * 6 / 10);
  std::vector<double> ratios;
  for (size_t i : counted) ratios.push_back(double(result[i]) / truth[i]);
  const double scale = median(ratios);
  std::vector<double> errors;
  for (double r : ratios) errors.push_back(std::abs(r / scale - 1));
  EXPECT_LT(median(errors), 0.02) << "scale " << scale;
  // The irradiance unit is the inverse response per relative exposure: the scale is 1.
  EXPECT_NEAR(scale, 1.0, 0.02);
}

INSTANTIATE_TEST_SUITE_P(Responses, MergeAccuracy,
                         ::testing::Values(k_response_srgb, k_response_linear),
                         [](const auto& info) {
                           return std::string(info.param == k_response_srgb ? "srgb" : "linear");
                         });

}  // namespace

#include "hdr/tonemap_asymmetric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/hdr_scene.h"

namespace {

cv::Mat grey(int rows, int cols, float v) {
  return cv::Mat(rows, cols, CV_32FC3, cv::Scalar::all(v));
}

// The scene's rows as a blue, green, red matrix.
cv::Mat scene_mat(int32_t width, int32_t height) {
  Rgb_rows r = hdr_scene_rows(width, height);
  cv::Mat m(height, width, CV_32FC3);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const float* p = r.at(x, y);
      m.at<cv::Vec3f>(y, x) = cv::Vec3f(p[2], p[1], p[0]);
    }
  return m;
}

void expect_bounded(const cv::Mat& out, const cv::Mat& in) {
  ASSERT_EQ(out.type(), CV_32FC3);
  ASSERT_EQ(out.size(), in.size());
  ASSERT_TRUE(cv::checkRange(out, true, nullptr, 0.0, 255.0 + 1e-3));
}

TEST(Asymmetric, BlockPattern) {
  // 100 x 100 in 10 x 10 blocks: one black, 49 at 0.01, 49 at 1, one at 100. The tenth-size
  // copy samples each block's middle, so the sorted row holds the block values: Lmin is
  // element 1 (0.01), Lmax element 99 (100). By hand: Lav = e^(mean ln(L + 1e-6)) = 0.095504,
  // r = (2 log2 Lav - log2 100 - log2 0.01) / (log2 100 - log2 0.01) = -0.51001,
  // key = 0.18 * 4^r = 0.088760, p = -log2(1 - key) = 0.134097; a grey pixel becomes
  // 255 (1 - (Lav / (L + Lav))^p)^(1/gamma).
  cv::Mat in(100, 100, CV_32FC3);
  for (int b = 0; b < 100; ++b) {
    const float v = b == 0 ? 0.f : b < 50 ? 0.01f : b < 99 ? 1.f : 100.f;
    in(cv::Rect(10 * (b % 10), 10 * (b / 10), 10, 10)).setTo(cv::Scalar::all(v));
  }
  struct Case {
    float gamma;
    float expected[4];
  };
  for (const Case& c : {Case{2.2f, {0.f, 35.745f, 142.748f, 203.151f}},
                        Case{1.f, {0.f, 3.3825f, 71.155f, 154.651f}}}) {
    cv::Mat out;
    const cv::Mat& result = tonemap_asymmetric(out, in, c.gamma);
    EXPECT_EQ(&result, &out);
    expect_bounded(out, in);
    const cv::Point block[4] = {{5, 5}, {15, 5}, {5, 55}, {95, 95}};
    for (int i = 0; i < 4; ++i) {
      const cv::Vec3f v = out.at<cv::Vec3f>(block[i]);
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(v[k], c.expected[i], 0.05f) << "block " << i;
    }
  }
}

// The curve of one grey level v by the operator's definition, in double: L = v + 1e-6,
// U = (1 - (Lav / (L + Lav))^p) / L, the channel v U clipped to [0, 1], raised to 1/gamma.
double asymmetric_grey(double v, double lav, double p, double gamma) {
  const double l = v + 1e-6;
  const double u = (1.0 - std::pow(lav / (l + lav), p)) / l;
  return 255.0 * std::pow(std::clamp(v * u, 0.0, 1.0), 1.0 / gamma);
}

TEST(Asymmetric, UpperPercentileIsNotTheMaximumOnTwoHundredSamples) {
  // 200 x 100 in 10 x 10 blocks: the tenth-size copy holds the 200 block values. Sorted:
  // one black, 99 at 0.01, 98 at 1, then 10 and 1000. Lmin is element trunc(200 / 100) = 2
  // (0.01), Lmax element trunc(200 - 2) = 198 (10), not the maximum 1000.
  cv::Mat in(100, 200, CV_32FC3);
  std::vector<double> blocks;
  for (int b = 0; b < 200; ++b) {
    const float v = b == 0 ? 0.f : b < 100 ? 0.01f : b < 198 ? 1.f : b == 198 ? 10.f : 1000.f;
    in(cv::Rect(10 * (b % 20), 10 * (b / 20), 10, 10)).setTo(cv::Scalar::all(v));
    blocks.push_back(v);
  }
  double log_sum = 0;
  for (const double v : blocks) log_sum += 100.0 * std::log(v + 1e-6);
  const double lav = std::exp(log_sum / 20000.0);
  const double lmin = 0.01 + 1e-6, lmax = 10.0 + 1e-6;
  const double r = (2 * std::log2(lav) - std::log2(lmax) - std::log2(lmin)) /
                   (std::log2(lmax) - std::log2(lmin));
  const double p = -std::log2(1.0 - 0.18 * std::pow(4.0, r));
  for (const float gamma : {2.2f, 1.f}) {
    cv::Mat out;
    tonemap_asymmetric(out, in, gamma);
    expect_bounded(out, in);
    const struct {
      cv::Point at;
      double value;
    } spots[] = {
        {{5, 5}, 0.0}, {{15, 5}, 0.01}, {{5, 55}, 1.0}, {{185, 95}, 10.0}, {{195, 95}, 1000.0}};
    for (const auto& spot : spots) {
      const double want = asymmetric_grey(spot.value, lav, p, double(gamma));
      const cv::Vec3f v = out.at<cv::Vec3f>(spot.at);
      for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(v[k], want, 0.05) << "grey " << spot.value << " gamma " << gamma;
    }
  }
}

TEST(Asymmetric, ColourRatiosFollowTheLuminance) {
  cv::Mat in = grey(20, 20, 0.5f);
  in.at<cv::Vec3f>(3, 4) = cv::Vec3f(0.1f, 0.2f, 0.4f);  // blue, green, red
  cv::Mat out;
  tonemap_asymmetric(out, in, 1.f);
  const cv::Vec3f v = out.at<cv::Vec3f>(3, 4);
  EXPECT_NEAR(v[2] / v[1], 2.f, 1e-4);
  EXPECT_NEAR(v[0] / v[1], 0.5f, 1e-4);
}

struct Degenerate_case {
  std::string name;
  cv::Mat (*make)();
};

const float k_nan = std::numeric_limits<float>::quiet_NaN();
const float k_inf = std::numeric_limits<float>::infinity();

const Degenerate_case k_degenerate[] = {
    {"AllBlack", [] { return grey(30, 40, 0.f); }},
    {"Uniform", [] { return grey(30, 40, 3.f); }},
    {"OnePixel", [] { return grey(1, 1, 0.5f); }},
    {"NarrowerThanTen", [] { return grey(50, 3, 0.5f); }},
    {"ShorterThanTen",
     [] {
       cv::Mat m = grey(9, 60, 0.2f);
       m.at<cv::Vec3f>(4, 30) = cv::Vec3f(5.f, 5.f, 5.f);
       return m;
     }},
    {"KeyAboveOne",  // every sampled pixel dark, the rest bright: Lav above Lmax
     [] {
       cv::Mat m = grey(100, 100, 100.f);
       for (int y = 4; y < 100; y += 10)
         for (int x = 4; x < 100; x += 10) {
           const float v = (x + y) % 20 == 8 ? 1e-3f : 2e-3f;
           m(cv::Rect(x, y, 2, 2)).setTo(cv::Scalar::all(v));
         }
       return m;
     }},
    {"NonFinite",
     [] {
       cv::Mat m = grey(20, 20, 0.5f);
       m.at<cv::Vec3f>(1, 1) = cv::Vec3f(k_nan, 0.5f, 0.5f);
       m.at<cv::Vec3f>(2, 2) = cv::Vec3f(k_inf, k_inf, k_inf);
       m.at<cv::Vec3f>(3, 3) = cv::Vec3f(-k_inf, 1.f, 1.f);
       return m;
     }},
    {"Extremes",
     [] {
       cv::Mat m = grey(20, 20, 1e-30f);
       m.at<cv::Vec3f>(4, 4) = cv::Vec3f(3.4e38f, 3.4e38f, 3.4e38f);
       m.at<cv::Vec3f>(5, 4) = cv::Vec3f(-2.f, -2.f, -2.f);
       return m;
     }},
};

class AsymmetricDegenerate : public ::testing::TestWithParam<Degenerate_case> {};

TEST_P(AsymmetricDegenerate, FiniteWithinRange) {
  const cv::Mat in = GetParam().make();
  cv::Mat out;
  ASSERT_NO_THROW(tonemap_asymmetric(out, in, 2.2f));
  expect_bounded(out, in);
}

INSTANTIATE_TEST_SUITE_P(Images, AsymmetricDegenerate, ::testing::ValuesIn(k_degenerate),
                         [](const auto& info) { return info.param.name; });

TEST(Asymmetric, UniformImageKeepsTheDefaultKey) {
  // Lmin equals Lmax: key 0.18, p = -log2(0.82), so every pixel maps to 1 - 0.82 = 0.18
  // before the gamma: 255 * 0.18^(1/2.2) = 116.957.
  for (float v : {0.02f, 1.f, 500.f}) {
    cv::Mat out;
    tonemap_asymmetric(out, grey(40, 30, v), 2.2f);
    const cv::Vec3f p = out.at<cv::Vec3f>(7, 9);
    EXPECT_NEAR(p[1], 116.957f, 0.02f) << v;
  }
  cv::Mat out;
  tonemap_asymmetric(out, grey(40, 30, 0.f), 2.2f);
  // cv::pow takes 0 to about 4e-18, not to 0 itself.
  EXPECT_LT(cv::norm(out, cv::NORM_INF), 1e-6);
}

TEST(Asymmetric, RejectsWrongInput) {
  cv::Mat out;
  EXPECT_THROW(tonemap_asymmetric(out, cv::Mat(), 2.2f), std::invalid_argument);
  EXPECT_THROW(tonemap_asymmetric(out, cv::Mat(10, 10, CV_8UC3, cv::Scalar::all(1)), 2.2f),
               std::invalid_argument);
  EXPECT_THROW(tonemap_asymmetric(out, grey(10, 10, 1.f), 0.f), std::invalid_argument);
  EXPECT_THROW(tonemap_asymmetric(out, grey(10, 10, 1.f), k_nan), std::invalid_argument);
}

TEST(Asymmetric, SceneBoundedMonotoneAndRepeatable) {
  const cv::Mat in = scene_mat(320, 240);
  const cv::Mat copy = in.clone();
  cv::Mat first, second;
  tonemap_asymmetric(first, in, 2.2f);
  expect_bounded(first, in);
  EXPECT_EQ(cv::norm(in, copy, cv::NORM_INF), 0.0);  // the input is read only
  tonemap_asymmetric(second, in, 2.2f);
  EXPECT_EQ(cv::norm(first, second, cv::NORM_INF), 0.0);
  cv::Mat in_place = in.clone();
  tonemap_asymmetric(in_place, in_place, 2.2f);
  EXPECT_EQ(cv::norm(first, in_place, cv::NORM_INF), 0.0);

  // Grey ramp: a global curve keeps the order of the luminances.
  cv::Mat ramp(60, 80, CV_32FC3);
  for (int i = 0; i < ramp.rows * ramp.cols; ++i)
    ramp.at<cv::Vec3f>(i / ramp.cols, i % ramp.cols) =
        cv::Vec3f::all(float(1e-4 * std::pow(10.0, 8.0 * i / (ramp.rows * ramp.cols - 1))));
  cv::Mat out;
  tonemap_asymmetric(out, ramp, 2.2f);
  for (int i = 1; i < ramp.rows * ramp.cols; ++i)
    ASSERT_LE(out.at<cv::Vec3f>((i - 1) / ramp.cols, (i - 1) % ramp.cols)[1],
              out.at<cv::Vec3f>(i / ramp.cols, i % ramp.cols)[1]);
}

}  // namespace

#include "hdr/exposure_fusion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <opencv2/imgproc.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "hdr/progress.h"
#include "tests/support/progress_recorder.h"

namespace {

// A textured 8-bit B, G, R exposure: a ramp across, a ramp down and a hashed grain, scaled
// by gain so that a series runs from dark to bright.
cv::Mat textured(int rows, int cols, double gain) {
  cv::Mat m(rows, cols, CV_8UC3);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < cols; ++x) {
      const uint32_t h = (uint32_t(x) * 73856093u) ^ (uint32_t(y) * 19349663u);
      const double base = 20.0 + 3.0 * x + 2.0 * y + double(h % 17);
      m.at<cv::Vec3b>(y, x) = cv::Vec3b(cv::saturate_cast<uint8_t>(gain * base * 0.6),
                                        cv::saturate_cast<uint8_t>(gain * base),
                                        cv::saturate_cast<uint8_t>(gain * base * 1.3));
    }
  return m;
}

cv::Mat uniform(int rows, int cols, cv::Vec3b bgr) {
  return cv::Mat(rows, cols, CV_8UC3, cv::Scalar(bgr[0], bgr[1], bgr[2]));
}

double max_abs_difference(const cv::Mat& a, const cv::Mat& b) {
  return cv::norm(a, b, cv::NORM_INF);
}

// The three measures at an interior pixel, by their definitions, in double.
struct Measures {
  double contrast, saturation, exposedness;
};
Measures measures_at(const cv::Mat& m, int x, int y) {
  auto grey = [&](int xx, int yy) {
    const cv::Vec3b p = m.at<cv::Vec3b>(yy, xx);
    return (0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2]) / 255.0;
  };
  const double lap =
      grey(x, y - 1) + grey(x - 1, y) + grey(x + 1, y) + grey(x, y + 1) - 4.0 * grey(x, y);
  const cv::Vec3b p = m.at<cv::Vec3b>(y, x);
  const double c0 = p[0] / 255.0, c1 = p[1] / 255.0, c2 = p[2] / 255.0;
  const double mu = (c0 + c1 + c2) / 3.0;
  const double sd =
      std::sqrt(((c0 - mu) * (c0 - mu) + (c1 - mu) * (c1 - mu) + (c2 - mu) * (c2 - mu)) / 3.0);
  double e = 1.0;
  for (const double c : {c0, c1, c2}) e *= std::exp(-(c - 0.5) * (c - 0.5) / 0.08);
  return {std::fabs(lap), sd, e};
}

// A measure raised to exponent, compared before the power (which would magnify rounding
// near 0); exponent 0 must give exactly 1.
void expect_measure(float actual, double want, float exponent, double tol) {
  if (exponent == 0.f) {
    EXPECT_EQ(actual, 1.f);
    return;
  }
  EXPECT_NEAR(std::pow(double(actual), 1.0 / exponent), want, tol) << "exponent " << exponent;
}

TEST(FusionLevels, TruncatedLog2OfTheSmallerSide) {
  struct Case {
    int rows, cols, levels;
  };
  for (const Case& c :
       {Case{0, 5, 0}, Case{5, 0, 0}, Case{-3, 8, 0}, Case{1, 1, 0}, Case{1, 4000, 0},
        Case{2, 2, 1}, Case{3, 9, 1}, Case{7, 4, 2}, Case{1023, 2000, 9}, Case{1024, 2000, 10},
        Case{3000, 4000, 11}, Case{4096, 8192, 12}})
    EXPECT_EQ(fusion_levels(c.rows, c.cols), c.levels) << c.rows << " x " << c.cols;
}

// A 5 x 5 exposure whose middle pixel and its neighbours are known; each exponent table
// raises the three measures to its powers.
class FusionWeightsAtPixels : public ::testing::TestWithParam<Fusion_exponents> {};

TEST_P(FusionWeightsAtPixels, KnownPixelsFollowTheDefinitions) {
  const Fusion_exponents ex = GetParam();
  cv::Mat m = uniform(5, 5, {90, 100, 110});
  m.at<cv::Vec3b>(2, 2) = {10, 128, 250};
  m.at<cv::Vec3b>(1, 2) = {200, 200, 200};
  m.at<cv::Vec3b>(2, 1) = {0, 0, 0};
  m.at<cv::Vec3b>(2, 3) = {255, 255, 255};
  m.at<cv::Vec3b>(3, 2) = {30, 60, 90};
  std::vector<cv::Mat> c, s, e;
  fusion_weights({m, uniform(5, 5, {128, 128, 128})}, ex, c, s, e);
  ASSERT_EQ(c.size(), 2u);
  ASSERT_EQ(s.size(), 2u);
  ASSERT_EQ(e.size(), 2u);
  for (const std::vector<cv::Mat>* v : {&c, &s, &e}) {
    EXPECT_EQ((*v)[0].type(), CV_32FC1);
    EXPECT_EQ((*v)[0].size(), m.size());
  }
  for (const cv::Point p : {cv::Point(2, 2), cv::Point(1, 2), cv::Point(2, 1), cv::Point(3, 3)}) {
    const Measures want = measures_at(m, p.x, p.y);
    expect_measure(c[0].at<float>(p), want.contrast, ex.contrast, 2e-5);
    expect_measure(s[0].at<float>(p), want.saturation, ex.saturation, 2e-6);
    expect_measure(e[0].at<float>(p), want.exposedness, ex.well_exposedness, 2e-6);
  }
  // The grey exposure: no contrast, no saturation, and exactly mid-grey is 128/255.
  const double mid = std::exp(-std::pow(128.0 / 255.0 - 0.5, 2) / 0.08);
  expect_measure(e[1].at<float>(3, 3), mid * mid * mid, ex.well_exposedness, 1e-6);
  expect_measure(c[1].at<float>(3, 3), 0.0, ex.contrast, 0.0);
  expect_measure(s[1].at<float>(3, 3), 0.0, ex.saturation, 2e-7);
}

INSTANTIATE_TEST_SUITE_P(Exponents, FusionWeightsAtPixels,
                         ::testing::Values(Fusion_exponents{1.f, 1.f, 1.f},
                                           Fusion_exponents{0.5f, 0.25f, 0.75f},
                                           Fusion_exponents{1.f, 0.f, 0.3f}));

TEST(FusionWeights, ExponentZeroMakesEveryMeasureOne) {
  std::vector<cv::Mat> c, s, e;
  fusion_weights({textured(9, 11, 1.0), uniform(9, 11, {0, 0, 0})}, {0.f, 0.f, 0.f}, c, s, e);
  for (const std::vector<cv::Mat>* v : {&c, &s, &e})
    for (const cv::Mat& w : *v) {
      double lo = 0, hi = 0;
      cv::minMaxLoc(w, &lo, &hi);
      EXPECT_EQ(lo, 1.0);
      EXPECT_EQ(hi, 1.0);
    }
}

TEST(FusionWeights, BlackAndWhitePixelsAreEquallyPoorlyExposed) {
  // Each channel at 0 or 255 lies 0.5 from mid-grey: e^(-0.25 / 0.08) per channel, cubed.
  std::vector<cv::Mat> c, s, e;
  fusion_weights(
      {uniform(3, 3, {0, 0, 0}), uniform(3, 3, {255, 255, 255}), uniform(3, 3, {0, 255, 0})}, {}, c,
      s, e);
  const double one = std::exp(-0.25 / 0.08);
  EXPECT_NEAR(one, 0.0439, 1e-4);
  for (const cv::Mat& w : e) EXPECT_NEAR(w.at<float>(1, 1), one * one * one, 1e-8);
}

TEST(FusionWeights, UnusableInputIsRefused) {
  std::vector<cv::Mat> c, s, e;
  EXPECT_THROW(fusion_weights({cv::Mat()}, {}, c, s, e), std::invalid_argument);
  EXPECT_THROW(fusion_weights({cv::Mat(4, 4, CV_8UC1, cv::Scalar(9))}, {}, c, s, e),
               std::invalid_argument);
  EXPECT_THROW(fusion_weights({cv::Mat(4, 4, CV_32FC3, cv::Scalar::all(9))}, {}, c, s, e),
               std::invalid_argument);
}

TEST(Pyramids, SizesHalveAndTheLaplacianCollapsesBack) {
  cv::Mat image;
  textured(13, 9, 1.0).convertTo(image, CV_32FC3);
  const std::vector<cv::Mat> g = gaussian_pyramid(image, 4);
  ASSERT_EQ(g.size(), 4u);
  const cv::Size sizes[4] = {{9, 13}, {5, 7}, {3, 4}, {2, 2}};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(g[i].size(), sizes[i]) << i;
  EXPECT_NE(g[0].data, image.data);  // a clone, not a view
  EXPECT_EQ(max_abs_difference(g[0], image), 0.0);

  std::vector<cv::Mat> l = laplacian_pyramid(g);
  ASSERT_EQ(l.size(), 4u);
  EXPECT_EQ(max_abs_difference(l[3], g[3]), 0.0);
  cv::Mat up;
  cv::pyrUp(g[1], up, g[0].size());
  EXPECT_EQ(max_abs_difference(l[0], g[0] - up), 0.0);

  EXPECT_LT(max_abs_difference(collapse_pyramid(l), image), 1e-3);
}

// Each level is OpenCV's own 5 x 5 Gaussian reduction of the one above, value for value, for
// the exposures' three channels and the weights' one.
TEST(Pyramids, GaussianLevelsArePyrDownOfTheLevelAbove) {
  cv::Mat colour, weight;
  textured(37, 29, 1.2).convertTo(colour, CV_32FC3);
  cv::cvtColor(colour, weight, cv::COLOR_BGR2GRAY);
  weight /= 255.0;
  for (const cv::Mat& m : {colour, weight}) {
    const std::vector<cv::Mat> g = gaussian_pyramid(m, 5);
    ASSERT_EQ(g.size(), 5u);
    for (size_t i = 1; i < g.size(); ++i) {
      cv::Mat want;
      cv::pyrDown(g[i - 1], want);
      ASSERT_EQ(g[i].size(), want.size()) << i;
      ASSERT_EQ(g[i].type(), want.type()) << i;
      EXPECT_EQ(max_abs_difference(g[i], want), 0.0) << "level " << i;
    }
  }
}

TEST(Pyramids, DepthBelowTwoIsOneLevelAndEmptyCollapsesToEmpty) {
  const cv::Mat image(3, 3, CV_32F, cv::Scalar(4));
  EXPECT_EQ(gaussian_pyramid(image, 1).size(), 1u);
  EXPECT_EQ(gaussian_pyramid(image, 0).size(), 1u);
  EXPECT_EQ(gaussian_pyramid(image, -5).size(), 1u);
  std::vector<cv::Mat> none;
  EXPECT_TRUE(laplacian_pyramid(none).empty());
  EXPECT_TRUE(collapse_pyramid(none).empty());
}

TEST(ExposureFusion, UniformGreySeriesIsAveragedWithEqualWeights) {
  Silent_progress progress;
  const cv::Mat fused =
      exposure_fusion({uniform(16, 12, {40, 40, 40}), uniform(16, 12, {120, 120, 120}),
                       uniform(16, 12, {230, 230, 230})},
                      {}, fusion_levels(16, 12), progress);
  ASSERT_EQ(fused.type(), CV_32FC3);
  ASSERT_EQ(fused.size(), cv::Size(12, 16));
  EXPECT_LT(max_abs_difference(fused, cv::Mat(16, 12, CV_32FC3, cv::Scalar::all(130.0))), 1e-3);
}

TEST(ExposureFusion, UniformColourSeriesStaysUniform) {
  // Contrast left out (the grey of a flat colour may differ by an ulp between pixels, which
  // the Laplacian would pick up): each exposure then weighs its own constant.
  const std::vector<cv::Mat> series{uniform(10, 20, {20, 90, 160}),
                                    uniform(10, 20, {60, 170, 250})};
  for (const Fusion_exponents ex :
       {Fusion_exponents{0.f, 1.f, 1.f}, Fusion_exponents{0.f, 0.f, 0.5f}}) {
    std::vector<cv::Mat> c, s, e;
    fusion_weights(series, ex, c, s, e);
    double w[2];
    for (int k = 0; k < 2; ++k)
      w[k] = double(c[k].at<float>(0, 0)) * s[k].at<float>(0, 0) * e[k].at<float>(0, 0) + 1e-12;
    EXPECT_GT(std::fabs(w[0] - w[1]), 1e-3);
    Silent_progress progress;
    const cv::Mat fused = exposure_fusion(series, ex, 3, progress);
    cv::Scalar mean, sd;
    cv::meanStdDev(fused, mean, sd);
    for (int ch = 0; ch < 3; ++ch) {
      EXPECT_LT(sd[ch], 1e-3) << ch;
      const double want =
          (w[0] * series[0].at<cv::Vec3b>(0, 0)[ch] + w[1] * series[1].at<cv::Vec3b>(0, 0)[ch]) /
          (w[0] + w[1]);
      EXPECT_NEAR(mean[ch], want, 1e-3) << ch;
    }
  }
}

TEST(ExposureFusion, SingleExposureComesBackAsItWas) {
  Silent_progress progress;
  struct Case {
    int rows, cols;
  };
  for (const Case& c : {Case{24, 33}, Case{1, 17}, Case{9, 1}, Case{1, 1}}) {
    const cv::Mat in = textured(c.rows, c.cols, 1.5);
    cv::Mat want;
    in.convertTo(want, CV_32FC3);
    const cv::Mat fused = exposure_fusion({in}, {}, fusion_levels(c.rows, c.cols), progress);
    ASSERT_EQ(fused.size(), in.size());
    EXPECT_LT(max_abs_difference(fused, want), 1e-3) << c.rows << " x " << c.cols;
  }
}

TEST(ExposureFusion, OneLevelIsThePixelByPixelWeightedAverage) {
  const std::vector<cv::Mat> series{textured(12, 14, 0.5), textured(12, 14, 1.0),
                                    textured(12, 14, 2.0)};
  const Fusion_exponents ex{1.f, 0.5f, 1.f};
  std::vector<cv::Mat> c, s, e;
  fusion_weights(series, ex, c, s, e);
  Silent_progress progress;
  for (const int levels : {1, 0}) {
    const cv::Mat fused = exposure_fusion(series, ex, levels, progress);
    for (const cv::Point p : {cv::Point(0, 0), cv::Point(5, 7), cv::Point(13, 11)}) {
      double w[3], sum = 0;
      for (int k = 0; k < 3; ++k)
        sum += w[k] = double(c[k].at<float>(p)) * s[k].at<float>(p) * e[k].at<float>(p) + 1e-12;
      for (int ch = 0; ch < 3; ++ch) {
        double want = 0;
        for (int k = 0; k < 3; ++k) want += w[k] / sum * series[k].at<cv::Vec3b>(p)[ch];
        EXPECT_NEAR(fused.at<cv::Vec3f>(p)[ch], want, 1e-3) << p << " channel " << ch;
      }
    }
  }
}

// The fusion written out plainly in double precision: the three measures by their
// definitions (the Laplacian mirrored at the borders), normalised weights, and the Gaussian
// and Laplacian pyramids built with OpenCV's reduce and expand.
cv::Mat fusion_model(const std::vector<cv::Mat>& series, int levels) {
  const int rows = series[0].rows, cols = series[0].cols;
  auto mirror = [](int i, int n) { return i < 0 ? -i : i >= n ? 2 * n - 2 - i : i; };
  std::vector<cv::Mat> weights;
  cv::Mat sum = cv::Mat::zeros(rows, cols, CV_64F);
  for (const cv::Mat& m : series) {
    cv::Mat grey(rows, cols, CV_64F), w(rows, cols, CV_64F);
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < cols; ++x) {
        const cv::Vec3b p = m.at<cv::Vec3b>(y, x);
        grey.at<double>(y, x) = (0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2]) / 255.0;
      }
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < cols; ++x) {
        auto g = [&](int xx, int yy) {
          return grey.at<double>(mirror(yy, rows), mirror(xx, cols));
        };
        const double contrast =
            std::fabs(g(x, y - 1) + g(x - 1, y) + g(x + 1, y) + g(x, y + 1) - 4.0 * g(x, y));
        const cv::Vec3b p = m.at<cv::Vec3b>(y, x);
        const double c0 = p[0] / 255.0, c1 = p[1] / 255.0, c2 = p[2] / 255.0;
        const double mu = (c0 + c1 + c2) / 3.0;
        const double saturation = std::sqrt(
            ((c0 - mu) * (c0 - mu) + (c1 - mu) * (c1 - mu) + (c2 - mu) * (c2 - mu)) / 3.0);
        double exposedness = 1.0;
        for (const double c : {c0, c1, c2}) exposedness *= std::exp(-(c - 0.5) * (c - 0.5) / 0.08);
        w.at<double>(y, x) = contrast * saturation * exposedness + 1e-12;
      }
    sum += w;
    weights.push_back(w);
  }
  std::vector<cv::Mat> result(static_cast<size_t>(levels));
  for (size_t k = 0; k < series.size(); ++k) {
    std::vector<cv::Mat> g{cv::Mat()}, wg{weights[k] / sum};
    series[k].convertTo(g[0], CV_64FC3);
    for (int l = 1; l < levels; ++l) {
      cv::Mat down, wdown;
      cv::pyrDown(g.back(), down);
      cv::pyrDown(wg.back(), wdown);
      g.push_back(down);
      wg.push_back(wdown);
    }
    for (int l = 0; l < levels; ++l) {
      cv::Mat band = g[size_t(l)].clone();
      if (l + 1 < levels) {
        cv::Mat up;
        cv::pyrUp(g[size_t(l) + 1], up, band.size());
        band -= up;
      }
      cv::Mat w3;
      cv::merge(std::vector<cv::Mat>(3, wg[size_t(l)]), w3);
      if (result[size_t(l)].empty()) result[size_t(l)] = cv::Mat::zeros(band.size(), CV_64FC3);
      result[size_t(l)] += w3.mul(band);
    }
  }
  for (int l = levels - 1; l > 0; --l) {
    cv::Mat up;
    cv::pyrUp(result[size_t(l)], up, result[size_t(l) - 1].size());
    result[size_t(l) - 1] += up;
  }
  return result[0];
}

TEST(ExposureFusion, FourLevelsOfThreeTexturedExposuresMatchTheModel) {
  const std::vector<cv::Mat> series{textured(20, 24, 0.5), textured(20, 24, 1.0),
                                    textured(20, 24, 2.0)};
  ASSERT_EQ(fusion_levels(20, 24), 4);
  Silent_progress progress;
  const cv::Mat fused = exposure_fusion(series, {}, 4, progress);
  const cv::Mat model = fusion_model(series, 4);
  ASSERT_EQ(fused.size(), model.size());
  for (const cv::Point p : {cv::Point(0, 0), cv::Point(23, 0), cv::Point(11, 9), cv::Point(5, 14),
                            cv::Point(17, 3), cv::Point(23, 19)})
    for (int ch = 0; ch < 3; ++ch)
      EXPECT_NEAR(fused.at<cv::Vec3f>(p)[ch], model.at<cv::Vec3d>(p)[ch], 0.02)
          << p << " channel " << ch;
  EXPECT_LT(max_abs_difference(fused, cv::Mat_<cv::Vec3f>(model)), 0.05);
}

TEST(ExposureFusion, WellExposedDetailWinsOverClippedExposures) {
  // A mid-grey textured exposure beside a black and a white one: the result follows it.
  const cv::Mat good = textured(32, 32, 1.0);
  cv::Mat want;
  good.convertTo(want, CV_32FC3);
  Silent_progress progress;
  const cv::Mat fused = exposure_fusion(
      {uniform(32, 32, {0, 0, 0}), good, uniform(32, 32, {255, 255, 255})}, {}, 5, progress);
  EXPECT_LT(cv::norm(fused, want, cv::NORM_L1) / double(want.total() * 3), 2.0);
}

TEST(ExposureFusion, RepeatedRunsAreIdentical) {
  const std::vector<cv::Mat> series{textured(20, 30, 0.6), textured(20, 30, 1.4)};
  Silent_progress progress;
  const cv::Mat a = exposure_fusion(series, {0.7f, 0.4f, 0.9f}, 4, progress);
  const cv::Mat b = exposure_fusion(series, {0.7f, 0.4f, 0.9f}, 4, progress);
  EXPECT_EQ(max_abs_difference(a, b), 0.0);
}

TEST(ExposureFusion, ProgressRunsThroughFivePhasesAndACancelIsIgnored) {
  const std::vector<cv::Mat> series{textured(16, 16, 0.5), textured(16, 16, 1.0),
                                    textured(16, 16, 1.5)};
  Silent_progress silent;
  const cv::Mat want = exposure_fusion(series, {}, 4, silent);

  Progress_recorder rec;
  rec.cancel_at_update = 1;  // "Cancel" pressed during the first phase
  const cv::Mat fused = exposure_fusion(series, {}, 4, rec);
  EXPECT_EQ(max_abs_difference(fused, want), 0.0);

  std::vector<std::string> seen;
  for (const Progress_recorder::Call& call : rec.calls) {
    std::string line = call.what + " " + std::to_string(int(call.value));
    if (call.what == "start")
      line += " " + std::to_string(int(call.minimum)) + ".." + std::to_string(int(call.maximum)) +
              " " + call.label;
    seen.push_back(line);
  }
  const std::vector<std::string> expected{"start 0 0..1 Computing Weights",
                                          "update 1",
                                          "start 0 0..1 Combining Weights",
                                          "update 1",
                                          "start 0 0..3 Creating Laplacian Pyramids",
                                          "update 1",
                                          "update 2",
                                          "update 3",
                                          "start 0 0..3 Creating Gaussian Pyramids",
                                          "update 1",
                                          "update 2",
                                          "update 3",
                                          "start 0 0..4 Blending",
                                          "update 1",
                                          "update 2",
                                          "update 3",
                                          "update 4"};
  EXPECT_EQ(seen, expected);
}

// A checkerboard of 2 x 2 cells alternating between two colours.
cv::Mat board(cv::Vec3b a, cv::Vec3b b) {
  cv::Mat m(32, 32, CV_8UC3);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) m.at<cv::Vec3b>(y, x) = ((x / 2 + y / 2) % 2) ? a : b;
  return m;
}

TEST(ExposureFusion, ResultIsNeverNaNAndNeverClamped) {
  // Pure black and white beside saturated colours: the weight floor keeps every division
  // finite, and blending their pyramids rings past 255.
  Silent_progress progress;
  const cv::Mat fused = exposure_fusion(
      {board({0, 0, 0}, {255, 255, 255}), board({40, 200, 250}, {250, 20, 10})}, {}, 5, progress);
  EXPECT_TRUE(cv::checkRange(fused));
  double lo = 0, hi = 0;
  cv::minMaxLoc(fused.reshape(1), &lo, &hi);
  EXPECT_GT(hi, 256.0);
}

TEST(ExposureFusion, UnusableSeriesIsRefusedBeforeAnyWork) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const cv::Mat a = textured(8, 8, 1.0);
  struct Case {
    const char* what;
    std::vector<cv::Mat> series;
    Fusion_exponents exponents;
    int levels;
  };
  const std::vector<Case> cases{
      {"no exposure", {}, {}, 3},
      {"empty exposure", {a, cv::Mat()}, {}, 3},
      {"grey exposure", {a, cv::Mat(8, 8, CV_8UC1, cv::Scalar(5))}, {}, 3},
      {"float exposure", {a, cv::Mat(8, 8, CV_32FC3, cv::Scalar::all(5))}, {}, 3},
      {"wider second", {a, textured(8, 9, 1.0)}, {}, 3},
      {"smaller third", {a, a, textured(4, 4, 1.0)}, {}, 2},
      {"NaN exponent", {a}, {nan, 1.f, 1.f}, 3},
      {"infinite exponent", {a}, {1.f, inf, 1.f}, 3},
      {"negative exponent", {a}, {1.f, 1.f, -0.5f}, 3},
      {"too deep", {a}, {}, k_fusion_max_levels + 1},
  };
  for (const Case& c : cases) {
    Progress_recorder rec;
    EXPECT_THROW(exposure_fusion(c.series, c.exponents, c.levels, rec), std::invalid_argument)
        << c.what;
    EXPECT_TRUE(rec.calls.empty()) << c.what;
  }
}

TEST(ExposureFusion, DifferentSizesGiveTheSameResolutionText) {
  Silent_progress progress;
  try {
    exposure_fusion({textured(6, 6, 1.0), textured(6, 7, 1.0)}, {}, 2, progress);
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "All images should have the same resolution for fusing exposures.");
  }
}

// The fused pixels of a textured series at odd sizes, pinned bit for bit: the fusion's
// inner loops may be rearranged for speed, but every float must come out as before.
struct Pinned_fusion {
  Fusion_exponents exponents;
  uint64_t hash;  // FNV-1a over the result's bytes
};

class FusionPinned : public ::testing::TestWithParam<Pinned_fusion> {};

TEST_P(FusionPinned, TexturedSeriesGivesThePinnedFloats) {
  const std::vector<cv::Mat> series{textured(67, 93, 0.35), textured(67, 93, 0.9),
                                    textured(67, 93, 2.2)};
  Silent_progress progress;
  const cv::Mat fused = exposure_fusion(series, GetParam().exponents, 5, progress);
  ASSERT_TRUE(fused.isContinuous());
  uint64_t h = 1469598103934665603ull;
  const auto* bytes = fused.ptr<uint8_t>(0);
  for (size_t i = 0; i < fused.total() * fused.elemSize(); ++i) {
    h ^= bytes[i];
    h *= 1099511628211ull;
  }
  EXPECT_EQ(h, GetParam().hash) << "pixel (10, 20): " << fused.at<cv::Vec3f>(10, 20);
}

INSTANTIATE_TEST_SUITE_P(
    Exponents, FusionPinned,
    ::testing::Values(Pinned_fusion{{1.f, 1.f, 1.f}, 15353330389590657187ull},
                      Pinned_fusion{{0.7f, 0.4f, 0.9f}, 1543139985380513262ull},
                      Pinned_fusion{{0.f, 1.f, 0.5f}, 11197830082882435644ull}));

}  // namespace

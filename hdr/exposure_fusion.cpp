// Exposure fusion as a sequence of whole-matrix OpenCV operations.
#include "hdr/exposure_fusion.h"

#include <cmath>
#include <opencv2/imgproc.hpp>
#include <stdexcept>

#include "hdr/progress.h"

namespace {

// 2 x 0.2^2: the well-exposedness curve is a Gaussian of sigma 0.2 around mid-grey.
constexpr float k_exposedness_divisor = 0.08f;
// Keeps every combined weight positive, so that a pixel weighted 0 in every exposure
// still divides to an equal share instead of 0 / 0.
constexpr float k_weight_floor = 1e-12f;

void check_exposure(const cv::Mat& m) {
  if (m.empty() || m.dims != 2 || m.type() != CV_8UC3)
    throw std::invalid_argument("exposure fusion needs 8-bit three-channel exposures");
}

void check_exponents(const Fusion_exponents& e) {
  for (const float v : {e.contrast, e.saturation, e.well_exposedness})
    if (!std::isfinite(v) || v < 0.f)
      throw std::invalid_argument("fusion exponents must be finite and not negative");
}

// Entry i = e^(-(i/255 - 0.5)^2 / 0.08), in single precision.
const cv::Mat& exposedness_table() {
  static const cv::Mat table = [] {
    cv::Mat t(1, 256, CV_32F);
    for (int i = 0; i < 256; ++i) {
      const float d = float(i) / 255.f - 0.5f;
      t.at<float>(0, i) = std::exp(-(d * d) / k_exposedness_divisor);
    }
    return t;
  }();
  return table;
}

// |Laplacian of the grey level| ^ exponent; unit is the exposure scaled to 0..1.
cv::Mat contrast_weight(const cv::Mat& unit, float exponent) {
  cv::Mat grey, c;
  cv::cvtColor(unit, grey, cv::COLOR_BGR2GRAY);
  cv::Laplacian(grey, c, CV_32F, 1, 1, 0, cv::BORDER_DEFAULT);
  c = cv::abs(c);
  cv::pow(c, exponent, c);
  return c;
}

// The standard deviation of the three channels ^ exponent.
cv::Mat saturation_weight(const cv::Mat& unit, float exponent) {
  std::vector<cv::Mat> ch;
  cv::split(unit, ch);
  cv::Mat mean, d, sq, s;
  cv::add(ch[0], ch[1], mean);
  cv::add(mean, ch[2], mean);
  cv::divide(mean, cv::Scalar(3.0), mean);
  cv::subtract(ch[0], mean, d);
  cv::multiply(d, d, s);
  cv::subtract(ch[1], mean, d);
  cv::multiply(d, d, sq);
  cv::add(s, sq, s);
  cv::subtract(ch[2], mean, d);
  cv::multiply(d, d, sq);
  cv::add(s, sq, s);
  cv::divide(s, cv::Scalar(3.0), s);
  cv::sqrt(s, s);
  cv::pow(s, exponent, s);
  return s;
}

// The product of the three channels' table entries ^ exponent.
cv::Mat exposedness_weight(const cv::Mat& exposure, float exponent) {
  std::vector<cv::Mat> ch;
  cv::split(exposure, ch);
  cv::Mat e0, e1, e2, e;
  cv::LUT(ch[0], exposedness_table(), e0);
  cv::LUT(ch[1], exposedness_table(), e1);
  cv::LUT(ch[2], exposedness_table(), e2);
  cv::multiply(e0, e1, e);
  cv::multiply(e, e2, e);
  cv::pow(e, exponent, e);
  return e;
}

}  // namespace

int fusion_levels(int rows, int cols) {
  const int side = rows < cols ? rows : cols;
  int levels = 0;
  for (int s = side; s > 1; s /= 2) ++levels;
  return levels;
}

void fusion_weights(const std::vector<cv::Mat>& exposures, const Fusion_exponents& exponents,
                    std::vector<cv::Mat>& contrast, std::vector<cv::Mat>& saturation,
                    std::vector<cv::Mat>& well_exposedness) {
  check_exponents(exponents);
  for (const cv::Mat& m : exposures) check_exposure(m);
  contrast.clear();
  saturation.clear();
  well_exposedness.clear();
  for (const cv::Mat& exposure : exposures) {
    cv::Mat unit;
    exposure.convertTo(unit, CV_32FC3, double(1.f / 255.f), 0);
    contrast.push_back(contrast_weight(unit, exponents.contrast));
    saturation.push_back(saturation_weight(unit, exponents.saturation));
    well_exposedness.push_back(exposedness_weight(exposure, exponents.well_exposedness));
  }
}

std::vector<cv::Mat> gaussian_pyramid(const cv::Mat& m, int levels) {
  std::vector<cv::Mat> pyramid{m.clone()};
  for (int i = 1; i < levels; ++i) {
    cv::Mat down;
    cv::pyrDown(pyramid.back(), down, cv::Size(), cv::BORDER_DEFAULT);
    pyramid.push_back(down);
  }
  return pyramid;
}

std::vector<cv::Mat> laplacian_pyramid(const std::vector<cv::Mat>& gaussian) {
  std::vector<cv::Mat> pyramid(gaussian.size());
  if (gaussian.empty()) return pyramid;
  const size_t n = gaussian.size();
  pyramid[n - 1] = gaussian[n - 1];
  for (size_t i = n - 1; i-- > 0;) {
    cv::Mat up;
    cv::pyrUp(gaussian[i + 1], up, gaussian[i].size(), cv::BORDER_DEFAULT);
    cv::subtract(gaussian[i], up, pyramid[i]);
  }
  return pyramid;
}

cv::Mat collapse_pyramid(std::vector<cv::Mat>& laplacian) {
  if (laplacian.empty()) return cv::Mat();
  for (size_t i = laplacian.size() - 1; i > 0; --i) {
    cv::Mat up;
    cv::pyrUp(laplacian[i], up, laplacian[i - 1].size(), cv::BORDER_DEFAULT);
    cv::add(laplacian[i - 1], up, laplacian[i - 1]);
  }
  return laplacian[0];
}

cv::Mat exposure_fusion(const std::vector<cv::Mat>& exposures, const Fusion_exponents& exponents,
                        int levels, Progress& progress) {
  if (exposures.empty()) throw std::invalid_argument("exposure fusion needs an exposure");
  check_exponents(exponents);
  for (const cv::Mat& m : exposures) check_exposure(m);
  for (const cv::Mat& m : exposures)
    if (m.size() != exposures.front().size()) throw std::invalid_argument(k_fusion_size_error);
  if (levels > k_fusion_max_levels)
    throw std::invalid_argument("too many pyramid levels for exposure fusion");
  // An image one pixel high or wide has depth 0; one level blends it pixel by pixel.
  if (levels < 1) levels = 1;
  const size_t n = exposures.size();

  progress.start(0, 0, 1, "Computing Weights");
  std::vector<cv::Mat> contrast, saturation, exposedness;
  fusion_weights(exposures, exponents, contrast, saturation, exposedness);
  progress.update(1);

  progress.start(0, 0, 1, "Combining Weights");
  std::vector<cv::Mat> weights(n);
  cv::Mat sum = cv::Mat::zeros(exposures.front().size(), CV_32F);
  for (size_t k = 0; k < n; ++k) {
    cv::multiply(contrast[k], saturation[k], weights[k]);
    cv::multiply(weights[k], exposedness[k], weights[k]);
    cv::add(weights[k], cv::Scalar(k_weight_floor), weights[k]);
    cv::add(weights[k], sum, sum);
    // Each measure is read once: free it before the pyramids need the memory.
    contrast[k].release();
    saturation[k].release();
    exposedness[k].release();
  }
  progress.update(1);

  progress.start(0, 0, float(n), "Creating Laplacian Pyramids");
  std::vector<std::vector<cv::Mat>> laplacians(n);
  for (size_t k = 0; k < n; ++k) {
    cv::Mat copy;
    exposures[k].convertTo(copy, CV_32FC3, 1.0);
    laplacians[k] = laplacian_pyramid(gaussian_pyramid(copy, levels));
    progress.update(float(k + 1));
  }

  progress.start(0, 0, float(n), "Creating Gaussian Pyramids");
  std::vector<std::vector<cv::Mat>> weight_pyramids(n);
  for (size_t k = 0; k < n; ++k) {
    cv::divide(weights[k], sum, weights[k]);
    weight_pyramids[k] = gaussian_pyramid(weights[k], levels);
    weights[k].release();
    for (cv::Mat& level : weight_pyramids[k]) {
      cv::Mat three;
      cv::cvtColor(level, three, cv::COLOR_GRAY2BGR);
      level = three;
    }
    progress.update(float(k + 1));
  }

  progress.start(0, 0, float(levels), "Blending");
  std::vector<cv::Mat> result(static_cast<size_t>(levels));
  cv::Mat term;
  for (size_t l = 0; l < result.size(); ++l) {
    result[l] = cv::Mat::zeros(laplacians[0][l].size(), CV_32FC3);
    for (size_t k = 0; k < n; ++k) {
      cv::multiply(weight_pyramids[k][l], laplacians[k][l], term);
      cv::add(term, result[l], result[l]);
    }
    progress.update(float(l + 1));
  }
  return collapse_pyramid(result);
}

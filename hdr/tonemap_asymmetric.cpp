// Asymmetric tone mapping as a sequence of whole-matrix OpenCV operations.
#include "hdr/tonemap_asymmetric.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <stdexcept>
#include <vector>

namespace {

// Added to the luminance so that black pixels have a finite logarithm.
constexpr double k_black = 0.000001;

// A copy of the input with every NaN or infinite sample set to 0, or the input itself.
cv::Mat finite_input(const cv::Mat& input) {
  if (cv::checkRange(input)) return input;
  cv::Mat clean = input.clone();
  cv::Mat flat = clean.reshape(1);
  cv::patchNaNs(flat, 0.0);
  flat.setTo(0.0, cv::abs(flat) > FLT_MAX);
  return clean;
}

// Splits the image into its channels and forms
// L = 0.0721 blue + 0.7154 green + 0.2125 red + 1e-6, summed in that order.
void luminance(const cv::Mat& image, std::vector<cv::Mat>& bgr, cv::Mat& lum) {
  cv::split(image, bgr);
  cv::Mat wb, wg, wr;
  cv::multiply(bgr[0], cv::Scalar(0.0721), wb);
  cv::multiply(bgr[1], cv::Scalar(0.7154), wg);
  cv::multiply(bgr[2], cv::Scalar(0.2125), wr);
  cv::add(wb, wg, lum);
  cv::add(lum, wr, lum);
  cv::add(lum, cv::Scalar(k_black), lum);
}

// Index i of the sorted percentile row, kept inside it.
float sorted_at(const cv::Mat& sorted, float index) {
  const int i = std::clamp(int(index), 0, sorted.cols - 1);
  return sorted.at<float>(0, i);
}

}  // namespace

cv::Mat& tonemap_asymmetric(cv::Mat& output, const cv::Mat& input, float gamma) {
  if (input.empty() || input.type() != CV_32FC3)
    throw std::invalid_argument("asymmetric tone mapping needs a three-channel float image");
  if (!std::isfinite(gamma) || !(gamma > 0))
    throw std::invalid_argument("tone mapping gamma must be a positive number");
  const int rows = input.rows, cols = input.cols;
  std::vector<cv::Mat> bgr;
  cv::Mat lum;
  luminance(input, bgr, lum);
  if (!cv::checkRange(lum)) {
    // Only a non-finite sample, or a sum beyond the float range, gets here.
    luminance(finite_input(input), bgr, lum);
    lum.setTo(FLT_MAX, lum > FLT_MAX);
  }
  // Negative samples would leave the logarithm undefined: such a pixel counts as black.
  cv::max(lum, k_black, lum);

  cv::Mat log_lum;
  cv::log(lum, log_lum);
  const float lav = float(std::exp(cv::sum(log_lum)[0] / double(float(rows) * float(cols))));
  log_lum.release();

  // Percentiles from a tenth-size copy; at least one pixel per side for small images.
  const cv::Size small_size(std::max(1, int(float(cols) / 10.f)),
                            std::max(1, int(float(rows) / 10.f)));
  cv::Mat small, sorted;
  cv::resize(lum, small, small_size, 0, 0, cv::INTER_LINEAR);
  cv::sort(small.reshape(1, 1), sorted, cv::SORT_EVERY_ROW | cv::SORT_ASCENDING);
  const float n = float(sorted.cols);
  const float lmin = sorted_at(sorted, n / 100.f);
  const float lmax = sorted_at(sorted, n - n / 100.f);

  double key = k_asymmetric_default_key;
  if (lmax != lmin) {
    const float r = (2.f * std::log2(lav) - std::log2(lmax) - std::log2(lmin)) /
                    (std::log2(lmax) - std::log2(lmin));
    key = 0.18 * std::pow(4.0, double(r));
    // A key of 1 or more has no finite exponent (only when Lav lies outside the bounds).
    if (!(key > 0 && key < 1)) key = k_asymmetric_default_key;
  }
  const double p = -std::log2(1.0 - key);

  cv::Mat t, u;
  lum.copyTo(t);
  cv::add(t, cv::Scalar(lav), t);
  cv::divide(double(lav), t, t);
  cv::pow(t, p, t);
  cv::subtract(cv::Scalar(1.0), t, u);
  t.release();
  cv::divide(u, lum, u);
  lum.release();

  for (cv::Mat& c : bgr) {
    cv::multiply(c, u, c);
    cv::threshold(c, c, 1.0, 0.0, cv::THRESH_TRUNC);
    cv::threshold(c, c, 0.0, 0.0, cv::THRESH_TOZERO);
  }
  u.release();
  cv::Mat merged;
  cv::merge(bgr, merged);
  bgr.clear();
  cv::pow(merged, 1.0 / double(gamma), merged);
  merged.convertTo(output, CV_32FC3, 255.0, 0.0);
  return output;
}

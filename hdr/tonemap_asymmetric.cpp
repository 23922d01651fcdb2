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
// L = 0.0721 blue + 0.7154 green + 0.2125 red + 1e-6, summed in that order; work is scratch.
void luminance(const cv::Mat& image, std::vector<cv::Mat>& bgr, cv::Mat& lum, cv::Mat& work) {
  cv::split(image, bgr);
  cv::multiply(bgr[0], cv::Scalar(0.0721), lum);
  cv::multiply(bgr[1], cv::Scalar(0.7154), work);
  cv::add(lum, work, lum);
  cv::multiply(bgr[2], cv::Scalar(0.2125), work);
  cv::add(lum, work, lum);
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
  // One full-size scratch matrix serves every intermediate in turn: fresh allocations of
  // this size cost more in page faults than the arithmetic.
  std::vector<cv::Mat> bgr;
  cv::Mat lum, work;
  luminance(input, bgr, lum, work);
  if (!cv::checkRange(lum)) {
    // Only a non-finite sample, or a sum beyond the float range, gets here.
    luminance(finite_input(input), bgr, lum, work);
    lum.setTo(FLT_MAX, lum > FLT_MAX);
  }
  // Negative samples would leave the logarithm undefined: such a pixel counts as black.
  cv::max(lum, k_black, lum);

  cv::log(lum, work);
  const float lav = float(std::exp(cv::sum(work)[0] / double(float(rows) * float(cols))));

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

  // T = (Lav / (L + Lav))^p, then U = (1 - T) / L, both in work.
  lum.copyTo(work);
  cv::add(work, cv::Scalar(lav), work);
  cv::divide(double(lav), work, work);
  cv::pow(work, p, work);
  cv::subtract(cv::Scalar(1.0), work, work);
  cv::divide(work, lum, work);
  lum.release();

  for (cv::Mat& c : bgr) {
    cv::multiply(c, work, c);
    cv::threshold(c, c, 1.0, 0.0, cv::THRESH_TRUNC);
    cv::threshold(c, c, 0.0, 0.0, cv::THRESH_TOZERO);
  }
  work.release();
  // The merged result is built in output itself (the input was split at the start).
  cv::merge(bgr, output);
  bgr.clear();
  cv::pow(output, 1.0 / double(gamma), output);
  output.convertTo(output, CV_32FC3, 255.0, 0.0);
  return output;
}

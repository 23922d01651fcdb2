// Asymmetric tone mapping: a global luminance curve 1 - (Lav / (L + Lav))^p whose exponent
// comes from the log-average luminance and two percentiles, computed with OpenCV matrices.
#pragma once
#include <opencv2/core.hpp>

/// Key of the curve when the image gives none (coinciding percentiles, or a key of 1 or more).
constexpr double k_asymmetric_default_key = 0.18;

/// Writes into output a CV_32FC3 matrix of input's size with values in 0..255, from input:
/// a CV_32FC3 matrix in blue, green, red order (read only). output is reallocated unless it
/// already has that size and type; it may be input itself. Returns output. Non-finite
/// samples are taken as 0. Throws std::invalid_argument for an empty input, an input of
/// another type, or a gamma that is not a positive finite number.
cv::Mat& tonemap_asymmetric(cv::Mat& output, const cv::Mat& input, float gamma);

// Photographic tone mapping: a global curve or local dodging and burning applied to the
// luminance (Y of Yxy), with key, white point and the choice between them estimated from
// the image's log-luminance histogram on every run. Also the row passes other operators share.
#pragma once
#include <cstdint>
#include <opencv2/core.hpp>

/// Modes of tonemap_photographic.
enum Photographic_mode : uint32_t {
  k_photographic_automatic = 0,  // local when the log range exceeds the threshold below
  k_photographic_global = 1,
  k_photographic_local = 2,
};

/// Starting values of the operator's settings.
constexpr double k_photographic_start_key = 0.18;
constexpr double k_photographic_start_gamma = 2.2;
constexpr double k_photographic_threshold = 0.05;  // local-contrast threshold of the scale test
constexpr double k_photographic_phi = 8.0;         // sharpening: 2^phi = 256 in the scale test
constexpr double k_photographic_start_white = 1e20;
constexpr int32_t k_photographic_smallest_scale = 1;  // pixels
constexpr int32_t k_photographic_largest_scale = 43;  // pixels; end of the range, never used
constexpr int32_t k_photographic_scale_count = 8;
constexpr double k_photographic_key_exponent = 2.0;
/// Automatic mode takes the local operator when the log range (natural-log units) exceeds this.
constexpr double k_photographic_local_range = 11.0;

/// The operator's settings as the last run left them (the starting values before any run).
struct Photographic_parameters {
  double key = k_photographic_start_key;
  double gamma = k_photographic_start_gamma;
  double threshold = k_photographic_threshold;
  double phi = k_photographic_phi;
  double white = k_photographic_start_white;
  int32_t smallest_scale = k_photographic_smallest_scale;
  int32_t largest_scale = k_photographic_largest_scale;
  int32_t scale_count = k_photographic_scale_count;
  bool use_scales = true;
  double key_exponent = k_photographic_key_exponent;
  double log_min = 0;        // ln(lowest positive luminance + 1e-5)
  double log_max = 0;        // ln(highest luminance + 1e-5)
  double lower_log = 0;      // lower percentile bound, natural-log units
  double upper_log = 0;      // upper percentile bound, natural-log units
  double log_average = 1.0;  // log-average luminance below e^upper_log; key / it scales Y
};

/// Tone-maps rows in place: height pointers, each to width pixels of interleaved R, G, B.
/// The result's channels lie in 0..255 with the display gamma applied. mode is a
/// Photographic_mode; any other value acts as automatic. A pixel of non-finite luminance is
/// taken as black. A call made while another runs (from an event pumped during the run)
/// returns at once and changes nothing. Throws std::invalid_argument when gamma is not a
/// positive finite number.
void tonemap_photographic(float* const* rows, int32_t width, int32_t height, float gamma,
                          uint32_t mode);

/// The settings and estimates of the last run.
Photographic_parameters photographic_parameters();

/// Every channel below 0 becomes 0, above limit becomes limit; NaN becomes 0.
void clamp_rows(float* const* rows, int32_t width, int32_t height, double limit);
/// Stretches the rows so that the pixel luminances span 0..target, then clamps every
/// channel to [0, target]. Pixels of non-finite luminance count as luminance 0 and become black.
void normalize_rows(float* const* rows, int32_t width, int32_t height, double target);
/// Every channel c becomes c^(1/gamma), 0 staying 0; channels must be non-negative, gamma
/// positive.
void gamma_rows(float* const* rows, int32_t width, int32_t height, double gamma);

/// Column strips of the Gaussian blur: wide enough that the filter's row halo costs little,
/// narrow enough that its ring of ~8 sigma rows stays in cache for the largest scale.
constexpr int k_blur_strip_width = 1024;
/// cv::GaussianBlur of a one-channel float image (kernel size from sigma, BORDER_REFLECT_101),
/// run strip by strip; the same values as one call on the whole image. dst is (re)allocated.
void gaussian_blur_strips(const cv::Mat& src, cv::Mat& dst, double sigma);

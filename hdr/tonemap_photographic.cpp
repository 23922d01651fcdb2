// Photographic tone mapping over RGB rows: the luminance is compressed by a global curve or
// by dodging and burning with an adaptation scale chosen per pixel from eight Gaussian blurs.
#include "hdr/tonemap_photographic.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <stdexcept>
#include <vector>

#include "core/event_pump.h"
#include "core/guard.h"
#include "core/luminance.h"

namespace {

// Added before every logarithm so that black pixels stay finite; the single-precision
// constant is part of the estimate's arithmetic (9.999999747378752e-06 as a double).
constexpr float k_log_offset = 0.00001f;
// Lowest positive luminance before any pixel is seen.
constexpr double k_no_min = 1e50;
// Histogram resolution of the estimate: bins per natural-log unit.
constexpr double k_bins_per_log_unit = 100.0;
// Fraction of pixels beyond each percentile bound of the estimate.
constexpr double k_percentile = 0.01;

struct Photographic_state {
  Photographic_parameters settings;  // kept between runs
  bool running = false;

  // Per run, reset at entry.
  float* const* rows = nullptr;
  int32_t width = 0, height = 0;
  std::vector<std::unique_ptr<float[]>> lum;  // luminance rows, scaled with the image
  double log_average = 1.0;                   // log-average luminance below the upper bound
  double log_scale_min = 0, log_scale_max = 0;
  std::vector<cv::Mat> scales;  // blurred luminance, one per scale, local operator only

  void reset_run() {
    rows = nullptr;
    width = height = 0;
    lum.clear();
    log_average = 1.0;
    log_scale_min = log_scale_max = 0;
    scales.clear();
  }
};

Photographic_state g_state;

uint64_t pixel_count() { return uint64_t(g_state.width) * uint64_t(g_state.height); }

// Mean of l = ln(L + 1e-5) over the luminance values with bound > l, exponentiated. The
// bound passed is e^(upper bound), a linear luminance compared with logarithms, so only
// pixels whose log luminance exceeds that value drop out.
double log_average_luminance(double bound) {
  double sum = 0;
  uint64_t count = 0;
  for (int32_t y = 0; y < g_state.height; ++y) {
    const float* l = g_state.lum[y].get();
    for (int32_t x = 0; x < g_state.width; ++x) {
      const float v = std::log(l[x] + k_log_offset);
      if (bound > v) {
        sum += v;
        ++count;
      }
    }
  }
  // The lowest value always passes (e^u > u), so count is 0 only without pixels.
  return count > 0 ? std::exp(sum / double(count)) : 1.0;
}

void estimate_photographic_parameters() {
  Photographic_parameters& p = g_state.settings;
  double lmin = k_no_min, lmax = 0;
  for (int32_t y = 0; y < g_state.height; ++y) {
    const float* l = g_state.lum[y].get();
    for (int32_t x = 0; x < g_state.width; ++x) {
      const double v = l[x];
      if (v > 0 && v < lmin) lmin = v;
      if (v > lmax) lmax = v;
    }
  }
  // Without a positive pixel the bounds would cross (a negative range); collapse them.
  if (lmin == k_no_min) lmin = lmax;
  const double lo = std::log(lmin + double(k_log_offset));
  const double hi = std::log(lmax + double(k_log_offset));
  const double range = hi - lo;
  p.log_min = lo;
  p.log_max = hi;

  // One bin beyond ceil(range) * 100 holds the top value when the range is whole.
  const uint64_t bins = uint64_t(std::ceil(range)) * uint64_t(k_bins_per_log_unit);
  std::vector<uint64_t> hist(bins + 1, 0);
  for (int32_t y = 0; y < g_state.height; ++y) {
    const float* l = g_state.lum[y].get();
    for (int32_t x = 0; x < g_state.width; ++x) {
      if (!(l[x] > 0)) continue;
      const double index = (double(std::log(l[x] + k_log_offset)) - lo) * k_bins_per_log_unit;
      hist[uint64_t(std::clamp(std::trunc(index), 0.0, double(bins)))]++;
    }
  }
  const double n = double(pixel_count());
  double upper = hi, lower = lo;
  uint64_t sum = 0;
  for (uint64_t i = bins + 1; i-- > 0;) {
    sum += hist[i];
    if (double(sum) / n > k_percentile) {
      upper = double(i) / k_bins_per_log_unit + lo;
      break;
    }
  }
  sum = 0;
  for (uint64_t i = 0; i <= bins; ++i) {
    sum += hist[i];
    if (double(sum) / n > k_percentile) {
      lower = double(i) / k_bins_per_log_unit + lo;
      break;
    }
  }
  p.upper_log = upper;
  p.lower_log = lower;

  g_state.log_average = log_average_luminance(std::exp(upper));
  p.log_average = g_state.log_average;
  const double lav = std::log(g_state.log_average);
  const double spread = (upper - lav) + (lav - lower);
  // Bounds that coincide (a uniform or black image) give no contrast to estimate from:
  // keep the base key instead of dividing by zero.
  double key = 0.18;
  if (spread > 0) {
    key = 0.18 * std::pow(2.0, p.key_exponent * ((lav - lower) - (upper - lav)) / spread);
    if (!std::isfinite(key) || !(key > 0)) key = 0.18;
  }
  p.key = key;
  p.white = 1.5 * std::pow(2.0, range - 5.0);
  p.use_scales = range > k_photographic_local_range;
}

void scale_to_key() {
  // The same bound and the same unscaled luminance as in the estimate: the same average.
  const double factor = g_state.settings.key / g_state.log_average;
  // Clamped so that a huge luminance stays finite for the curve.
  auto scaled = [factor](float v) { return float(std::min(double(v) * factor, double(FLT_MAX))); };
  for (int32_t y = 0; y < g_state.height; ++y) {
    float* p = g_state.rows[y];
    float* l = g_state.lum[y].get();
    for (int32_t x = 0; x < g_state.width; ++x, p += 3) {
      p[0] = scaled(p[0]);
      l[x] = scaled(l[x]);
    }
  }
}

double scale_sigma(int32_t i) {
  const Photographic_state& s = g_state;
  return std::exp(double(i) / double(s.settings.scale_count) * (s.log_scale_max - s.log_scale_min) +
                  s.log_scale_min);
}

void build_blur_scales() {
  cv::Mat lum(g_state.height, g_state.width, CV_32F);
  for (int32_t y = 0; y < g_state.height; ++y)
    std::copy(g_state.lum[y].get(), g_state.lum[y].get() + g_state.width, lum.ptr<float>(y));
  g_state.scales.assign(size_t(g_state.settings.scale_count), cv::Mat());
  for (int32_t i = 0; i < g_state.settings.scale_count; ++i)
    gaussian_blur_strips(lum, g_state.scales[size_t(i)], scale_sigma(i));
}

void map_global() {
  const double white2 = g_state.settings.white * g_state.settings.white;
  for (int32_t y = 0; y < g_state.height; ++y) {
    float* p = g_state.rows[y];
    for (int32_t x = 0; x < g_state.width; ++x, p += 3) {
      const double v = p[0];
      p[0] = float(v * (1.0 + v / white2) / (1.0 + v));
    }
  }
}

void map_local() {
  const Photographic_parameters& set = g_state.settings;
  const int32_t count = set.scale_count;
  // 2^phi * key / s^2 of every scale: the activity's denominator without the blur.
  std::vector<double> offset(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const double s = scale_sigma(i);
    offset[size_t(i)] = std::pow(2.0, set.phi) * set.key / (s * s);
  }
  std::vector<const float*> v(static_cast<size_t>(count));
  for (int32_t y = 0; y < g_state.height; ++y) {
    for (int32_t i = 0; i < count; ++i) v[size_t(i)] = g_state.scales[size_t(i)].ptr<float>(y);
    float* p = g_state.rows[y];
    for (int32_t x = 0; x < g_state.width; ++x, p += 3) {
      int32_t chosen = count - 1;
      for (int32_t i = 0; i + 1 < count; ++i) {
        const double vi = v[size_t(i)][x], vn = v[size_t(i) + 1][x];
        if (std::fabs((vi - vn) / (offset[size_t(i)] + vi)) > set.threshold) {
          chosen = i;
          break;
        }
      }
      p[0] = float(double(p[0]) / (1.0 + double(v[size_t(chosen)][x])));
    }
  }
}

void map_luminance() {
  if (g_state.settings.use_scales)
    map_local();
  else
    map_global();
}

}  // namespace

void tonemap_photographic(float* const* rows, int32_t width, int32_t height, float gamma,
                          uint32_t mode) {
  if (g_state.running) return;
  if (!std::isfinite(gamma) || !(gamma > 0))
    throw std::invalid_argument("tone mapping gamma must be a positive number");
  if (!rows || width <= 0 || height <= 0) return;
  Run_guard<decltype(g_state)> scope(g_state);
  g_state.reset_run();
  g_state.rows = rows;
  g_state.width = width;
  g_state.height = height;
  g_state.settings.gamma = gamma;

  g_state.lum.resize(size_t(height));
  for (int32_t y = 0; y < height; ++y) {
    pump_events();
    g_state.lum[size_t(y)].reset(new float[size_t(width)]);
  }
  rgb_to_yxy_rows(rows, uint64_t(width), uint64_t(height));
  for (int32_t y = 0; y < height; ++y) {
    float* p = rows[y];
    float* l = g_state.lum[size_t(y)].get();
    for (int32_t x = 0; x < width; ++x, p += 3) {
      // A non-finite luminance is taken as black, the whole pixel with it.
      if (!std::isfinite(p[0])) p[0] = p[1] = p[2] = 0.f;
      l[x] = p[0];
    }
  }
  estimate_photographic_parameters();
  if (mode == k_photographic_global) g_state.settings.use_scales = false;
  if (mode == k_photographic_local) g_state.settings.use_scales = true;
  scale_to_key();
  if (g_state.settings.use_scales) {
    g_state.log_scale_min = std::log(float(g_state.settings.smallest_scale) + k_log_offset);
    g_state.log_scale_max = std::log(float(g_state.settings.largest_scale) + k_log_offset);
    build_blur_scales();
  }
  map_luminance();
  yxy_to_rgb_rows(rows, uint64_t(width), uint64_t(height));
  clamp_rows(rows, width, height, 1.0);
  normalize_rows(rows, width, height, 1.0);
  gamma_rows(rows, width, height, g_state.settings.gamma);
  normalize_rows(rows, width, height, 255.0);
}

Photographic_parameters photographic_parameters() { return g_state.settings; }

void clamp_rows(float* const* rows, int32_t width, int32_t height, double limit) {
  const float top = float(limit);
  for (int32_t y = 0; y < height; ++y) {
    float* p = rows[y];
    for (int64_t i = 0; i < 3 * int64_t(width); ++i) {
      const float c = p[i];
      p[i] = c > top ? top : (c > 0 ? c : 0.f);  // NaN fails both tests and becomes 0
    }
  }
}

void normalize_rows(float* const* rows, int32_t width, int32_t height, double target) {
  double lo = 1e20, hi = -1e20;
  for (int32_t y = 0; y < height; ++y) {
    float* p = rows[y];
    for (int32_t x = 0; x < width; ++x, p += 3) {
      double l = k_lum_r * p[0] + k_lum_g * p[1] + k_lum_b * p[2];
      if (!std::isfinite(l)) {
        p[0] = p[1] = p[2] = 0.f;
        l = 0;
      }
      lo = std::min(lo, l);
      hi = std::max(hi, l);
    }
  }
  const double scale = target / (hi - lo + 1e-12);  // never infinite: a uniform image maps to 0
  const float top = float(target);
  for (int32_t y = 0; y < height; ++y) {
    float* p = rows[y];
    for (int64_t i = 0; i < 3 * int64_t(width); ++i) {
      const float c = float((double(p[i]) - lo) * scale);
      p[i] = c > top ? top : (c > 0 ? c : 0.f);
    }
  }
}

void gamma_rows(float* const* rows, int32_t width, int32_t height, double gamma) {
  cv::Mat powered;
  for (int32_t y = 0; y < height; ++y) {
    cv::Mat row(1, 3 * width, CV_32F, rows[y]);
    cv::pow(row, 1.0 / gamma, powered);
    // cv::pow leaves about 4e-18 for 0; black stays black.
    const float* q = powered.ptr<float>();
    float* p = rows[y];
    for (int64_t i = 0; i < 3 * int64_t(width); ++i) p[i] = p[i] > 0 ? q[i] : 0.f;
  }
}

void gaussian_blur_strips(const cv::Mat& src, cv::Mat& dst, double sigma) {
  dst.create(src.size(), src.type());
  // Each strip reads the columns beside it from src, so only the image's own edges are
  // extrapolated and the result is the whole-image blur.
  for (int x = 0; x < src.cols; x += k_blur_strip_width) {
    const cv::Range cols(x, std::min(src.cols, x + k_blur_strip_width));
    cv::Mat out = dst.colRange(cols);
    cv::GaussianBlur(src.colRange(cols), out, cv::Size(0, 0), sigma, 0, cv::BORDER_REFLECT_101);
  }
}

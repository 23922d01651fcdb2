// Interactive tone mapping over RGB rows: each channel passes a photoreceptor response
// adapted partly to itself and partly to the pixel's luminance, then the result is stretched.
#include "hdr/tonemap_photoreceptor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <opencv2/core.hpp>
#include <stdexcept>

#include "core/event_pump.h"
#include "core/guard.h"
#include "core/luminance.h"
#include "hdr/tonemap_photographic.h"

namespace {

// Offset of the response's adaptation and of the gamma; keeps both away from zero.
constexpr double k_offset = 0.00001;
// Added to every channel so that a black channel still has a defined response.
constexpr double k_channel_floor = 1e-20;
// Fraction of N that the summed densities must exceed at each percentile bound.
constexpr double k_percentile = 0.00001;
// Moves an average that left [minimum, maximum] back inside.
constexpr double k_average_margin = 0.001;

struct Photoreceptor_state {
  bool running = false;
  Contrast_hook hook = nullptr;
  double last_contrast = k_contrast_start;

  // Per run, reset at entry.
  float* const* rows = nullptr;
  int32_t width = 0, height = 0;
  double saturation = k_saturation_start;
  double lightness = k_lightness_start;
  double m = 1.0 - k_contrast_start;  // response exponent, 1 - contrast
  double gamma = k_interactive_gamma_start;
  std::vector<std::unique_ptr<double[]>> lum_storage;
  std::vector<double*> lum;
  double log_min = 0, log_max = 0, log_average = 0;

  void reset_run() {
    rows = nullptr;
    width = height = 0;
    saturation = k_saturation_start;
    lightness = k_lightness_start;
    m = 1.0 - k_contrast_start;
    gamma = k_interactive_gamma_start;
    lum_storage.clear();
    lum.clear();
    log_min = log_max = log_average = 0;
  }
};

Photoreceptor_state g_state;

double automatic_exponent(double lo, double hi, double average) {
  // A uniform image has no spread to measure: take the middle. Clamped because a
  // negative base would make the power NaN.
  const double k = hi > lo ? std::clamp((hi - average) / (hi - lo), 0.0, 1.0) : 0.5;
  return 0.3 + 0.6 * std::pow(k, 1.4);
}

// Marks a pixel of luminance 0 or below, which the histogram leaves out.
constexpr double k_left_out = -std::numeric_limits<double>::infinity();

// Density of the log luminances log_at(x, y) (k_left_out for none) between lo and hi.
template <class Log_at>
std::vector<double> density_histogram(Log_at log_at, int32_t width, int32_t height, double lo,
                                      double hi) {
  const double range = hi - lo;
  const double per_unit = k_interactive_bins_per_log_unit;
  if (!(range >= 0) || !std::isfinite(range)) return std::vector<double>(1, 0.0);
  // One bin beyond ceil(range) * 1024 holds the top value when the range is whole.
  const uint64_t bins = uint64_t(std::trunc(std::ceil(range) * per_unit));
  std::vector<double> hist(bins + 1, 0.0);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const double v = log_at(x, y);
      if (!std::isfinite(v)) continue;
      const double index = std::trunc((v - lo) * per_unit);
      hist[uint64_t(std::clamp(index, 0.0, double(bins)))] += 1.0;
    }
  const double n = double(uint64_t(width) * uint64_t(height));
  // A zero range would divide by zero; the walks then find coinciding bounds anyway.
  const double divisor = range > 0 ? n * (range / per_unit) : n;
  if (divisor > 0)
    for (double& b : hist) b /= divisor;
  return hist;
}

// Minimum, maximum and mean of ln(L + 1e-5) over every pixel; each pixel's logarithm is
// kept in the luminance rows for the histogram (k_left_out where L is not positive).
void log_statistics() {
  Photoreceptor_state& s = g_state;
  double lo = 1e50, hi = -1e50, sum = 0;
  for (int32_t y = 0; y < s.height; ++y) {
    const float* p = s.rows[y];
    double* out = s.lum[size_t(y)];
    for (int32_t x = 0; x < s.width; ++x, p += 3) {
      const double l = k_lum_r * p[0] + k_lum_g * p[1] + k_lum_b * p[2];
      const double v = std::log(l + k_offset);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      sum += v;
      out[x] = l > 0 ? v : k_left_out;
    }
  }
  s.log_min = lo;
  s.log_max = hi;
  s.log_average = sum / double(uint64_t(s.width) * uint64_t(s.height));
}

void map_photoreceptor() {
  const Photoreceptor_state& s = g_state;
  const double f = std::exp(-s.lightness);
  const double g = 1.0 / (s.gamma + k_offset);
  const int n = 3 * s.width;
  // Row by row as whole-row OpenCV operations, with c taken as c + 1e-20:
  // V = (c / ((f (s L + (1 - s) c + 1e-5))^m + c))^g.
  cv::Mat lum, lum3, channels, adapted;
  double lo = 1e20, hi = -1e20;
  for (int32_t y = 0; y < s.height; ++y) {
    cv::Mat(1, s.width, CV_64F, s.lum[size_t(y)]).convertTo(lum, CV_32F);
    cv::merge(std::vector<cv::Mat>{lum, lum, lum}, lum3);
    cv::Mat row(1, n, CV_32F, s.rows[y]);
    cv::add(row, cv::Scalar(k_channel_floor), channels);
    cv::addWeighted(lum3.reshape(1, 1), f * s.saturation, channels, f * (1.0 - s.saturation),
                    f * k_offset, adapted);
    cv::pow(adapted, s.m, adapted);
    cv::add(adapted, channels, adapted);
    cv::divide(channels, adapted, adapted);
    cv::pow(adapted, g, row);
    double row_lo = 0, row_hi = 0;
    cv::minMaxLoc(row, &row_lo, &row_hi);
    lo = std::min(lo, row_lo);
    hi = std::max(hi, row_hi);
  }
  // The smallest response maps to exactly 0: subtract first, then scale.
  const double scale = 255.0 / (hi - lo + k_offset);
  for (int32_t y = 0; y < s.height; ++y) {
    cv::Mat row(1, n, CV_32F, s.rows[y]);
    cv::subtract(row, cv::Scalar(lo), row);
    cv::multiply(row, cv::Scalar(scale), row);
  }
}

}  // namespace

Contrast_hook set_automatic_contrast_hook(Contrast_hook hook) {
  Contrast_hook previous = g_state.hook;
  g_state.hook = hook;
  return previous;
}

double last_automatic_contrast() { return g_state.last_contrast; }

std::vector<double> interactive_histogram(const float* const* rows, int32_t width, int32_t height,
                                          double lo, double hi) {
  return density_histogram(
      [rows](int32_t x, int32_t y) {
        const float* p = rows[y] + 3 * int64_t(x);
        const double l = k_lum_r * p[0] + k_lum_g * p[1] + k_lum_b * p[2];
        return l > 0 ? std::log(l + k_offset) : k_left_out;
      },
      width, height, lo, hi);
}

void interactive_percentiles(const std::vector<double>& histogram, double& lo, double& hi,
                             double& average, int32_t width, int32_t height) {
  const double n = double(uint64_t(width) * uint64_t(height));
  const double per_unit = k_interactive_bins_per_log_unit;
  const size_t bins = histogram.size();
  // The bins hold densities, not counts; the walks compare their sums with N all the same.
  size_t top = bins, bottom = bins;
  double sum = 0;
  for (size_t i = bins; i-- > 0;) {
    sum += histogram[i];
    if (sum / n > k_percentile) {
      top = i;
      break;
    }
  }
  sum = 0;
  for (size_t j = 0; j < bins; ++j) {
    sum += histogram[j];
    if (sum / n > k_percentile) {
      bottom = j;
      break;
    }
  }
  if (top == bins || bottom == bins) return;
  const double new_hi = double(top) / per_unit + lo;
  const double new_lo = double(bottom) / per_unit + lo;
  if (!(new_hi > new_lo)) return;
  double weighted = 0, weight = 0;
  for (size_t i = bottom; i <= top; ++i) {
    weighted += (double(i) / per_unit + lo) * histogram[i];
    weight += histogram[i];
  }
  if (weight > 0) average = weighted / weight;
  lo = new_lo;
  hi = new_hi;
}

void tonemap_photoreceptor(float* const* rows, int32_t width, int32_t height, float saturation,
                           float lightness, float contrast, float gamma, bool user_contrast) {
  if (g_state.running) return;
  if (!std::isfinite(saturation) || !std::isfinite(lightness) || !std::isfinite(contrast) ||
      !std::isfinite(gamma) || !(gamma > 0))
    throw std::invalid_argument("interactive tone mapping needs finite parameters");
  if (!rows || width <= 0 || height <= 0) return;
  Run_guard<decltype(g_state)> scope(g_state);
  Photoreceptor_state& s = g_state;
  s.reset_run();
  s.rows = rows;
  s.width = width;
  s.height = height;
  s.saturation = saturation;
  s.lightness = lightness;
  s.m = 1.0f - contrast;
  s.gamma = gamma;

  s.lum_storage.resize(size_t(height));
  s.lum.resize(size_t(height));
  for (int32_t y = 0; y < height; ++y) {
    pump_events();
    s.lum_storage[size_t(y)].reset(new double[size_t(width)]);
    s.lum[size_t(y)] = s.lum_storage[size_t(y)].get();
  }
  normalize_rows(rows, width, height, 1.0);
  log_statistics();
  {
    const std::vector<double> hist =
        density_histogram([](int32_t x, int32_t y) { return g_state.lum[size_t(y)][x]; }, width,
                          height, s.log_min, s.log_max);
    interactive_percentiles(hist, s.log_min, s.log_max, s.log_average, width, height);
  }
  if (s.log_min > s.log_average)
    s.log_average = s.log_min + k_average_margin;
  else if (s.log_average > s.log_max)
    s.log_average = s.log_max - k_average_margin;
  if (!user_contrast) {
    s.m = automatic_exponent(s.log_min, s.log_max, s.log_average);
    s.last_contrast = 1.0 - s.m;
    if (s.hook) s.hook(s.last_contrast);
  }
  luminance_rows(rows, s.lum.data(), uint64_t(width), uint64_t(height));
  map_photoreceptor();
}

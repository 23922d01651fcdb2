// Luminance and histogram helpers shared by statistics, display, histogram and tone mapping.
#include "core/luminance.h"

#include <algorithm>
#include <cmath>

#include "core/hdr_image.h"

namespace {

constexpr float k_rgb_to_xyz[3][3] = {
    {0.4124f, 0.3576f, 0.1805f}, {0.2126f, 0.7152f, 0.0722f}, {0.0193f, 0.1192f, 0.9505f}};
constexpr float k_xyz_to_rgb[3][3] = {{3.240625f, -1.537208f, -0.498629f},
                                      {-0.968931f, 1.875756f, 0.041518f},
                                      {0.05571f, -0.204021f, 1.056996f}};

inline double lum(double r, double g, double b) { return k_lum_r * r + k_lum_g * g + k_lum_b * b; }

inline void matrix_times(const float (&m)[3][3], double a, double b, double c, double out[3]) {
  for (int i = 0; i < 3; ++i)
    out[i] = double(m[i][0]) * a + double(m[i][1]) * b + double(m[i][2]) * c;
}

}  // namespace

void luminance_of(const Hdr_image& image, float* out) {
  const float *r, *g, *b;
  rgb_planes(image, r, g, b);
  const uint64_t n = uint64_t(image.width()) * image.height();
  for (uint64_t i = 0; i < n; ++i) out[i] = float(lum(r[i], g[i], b[i]));
}

std::unique_ptr<float[]> luminance_from_planes(const float* red, const float* green,
                                               const float* blue, uint64_t n) {
  std::unique_ptr<float[]> out(new float[n]);
  for (uint64_t i = 0; i < n; ++i) out[i] = float(lum(red[i], green[i], blue[i]));
  return out;
}

std::unique_ptr<float[]> sorted_luminance(const float* red, const float* green, const float* blue,
                                          uint64_t n) {
  std::unique_ptr<float[]> v = luminance_from_planes(red, green, blue, n);
  // compare_floats is no strict ordering once NaN is present (it equals everything), which
  // leaves a sort's result undefined; this order keeps every NaN ahead of the numbers.
  std::sort(v.get(), v.get() + n, [](float a, float b) {
    if (std::isnan(a)) return !std::isnan(b);
    return a < b;
  });
  return v;
}

void luminance_rows(const float* const* rows, double* const* out, uint64_t width, uint64_t height) {
  for (uint64_t y = 0; y < height; ++y) {
    const float* p = rows[y];
    for (uint64_t x = 0; x < width; ++x, p += 3) out[y][x] = lum(p[0], p[1], p[2]);
  }
}

double luminance_at(const float* const* rows, uint64_t x, uint64_t y) {
  const float* p = rows[y] + 3 * x;
  return lum(p[0], p[1], p[2]);
}

void log_luminance_stats(const float* const* rows, uint64_t width, uint64_t height, double& min,
                         double& max, double& average) {
  if (height < 1) return;
  double lo = 1e50, hi = -1e50, sum = 0;
  for (uint64_t y = 0; y < height; ++y) {
    const float* p = rows[y];
    for (uint64_t x = 0; x < width; ++x, p += 3) {
      const double v = std::log(lum(p[0], p[1], p[2]) + 1e-5);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      sum += v;
    }
  }
  min = lo;
  max = hi;
  average = sum / double(width * height);
}

int compare_floats(const float* a, const float* b) {
  const float d = *a - *b;
  if (d < 0) return -1;
  if (d > 0) return 1;
  return 0;
}

std::unique_ptr<uint32_t[]> compute_histogram(float* values, uint64_t n, uint32_t bins, bool log) {
  std::unique_ptr<uint32_t[]> counts(new uint32_t[bins]());
  if (bins == 0) return counts;
  if (log)
    for (uint64_t i = 0; i < n; ++i) values[i] = std::log(values[i] + 1e-6f);

  float lo = 0, hi = 0;
  bool any = false;
  for (uint64_t i = 0; i < n; ++i) {
    const float v = values[i];
    if (std::isnan(v)) continue;
    if (!any) {
      lo = hi = v;
      any = true;
    } else {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  }
  if (!any) return counts;
  float range = hi - lo;
  if (range == 0) range = 1e-6f;
  const float scale = float(bins - 1) / range;
  const double last = double(bins - 1);
  for (uint64_t i = 0; i < n; ++i) {
    const float v = values[i];
    if (std::isnan(v)) continue;
    // In double and clamped: infinite values and rounding never index outside the counters.
    // The maximum always lands in the last bin, even where rounding leaves it just short.
    double index = (v == hi && hi != lo) ? last : std::trunc(double(v - lo) * double(scale));
    if (!(index >= 0)) index = 0;  // NaN from inf - inf lands in the first bin
    if (index > last) index = last;
    ++counts[uint64_t(index)];
  }
  return counts;
}

void rgb_to_yxy(float* pixel) {
  double xyz[3];
  matrix_times(k_rgb_to_xyz, pixel[0], pixel[1], pixel[2], xyz);
  const float X = float(xyz[0]), Y = float(xyz[1]), Z = float(xyz[2]);
  const float s = X + Y + Z;
  if (s > 0) {
    pixel[0] = Y;
    pixel[1] = X / s;
    pixel[2] = Y / s;
  } else {
    pixel[0] = pixel[1] = pixel[2] = 0.f;
  }
}

void rgb_to_yxy_rows(float* const* rows, uint64_t width, uint64_t height) {
  for (uint64_t y = 0; y < height; ++y) {
    float* p = rows[y];
    for (uint64_t x = 0; x < width; ++x, p += 3) {
      double xyz[3];
      matrix_times(k_rgb_to_xyz, p[0], p[1], p[2], xyz);
      const double s = xyz[0] + xyz[1] + xyz[2];
      if (s > 0) {
        p[0] = float(xyz[1]);
        p[1] = float(xyz[0] / s);
        p[2] = float(xyz[1] / s);
      } else {
        p[0] = p[1] = p[2] = 0.f;
      }
    }
  }
}

void yxy_to_rgb_rows(float* const* rows, uint64_t width, uint64_t height) {
  for (uint64_t y = 0; y < height; ++y) {
    float* p = rows[y];
    for (uint64_t x = 0; x < width; ++x, p += 3) {
      const double Y = p[0], cx = p[1], cy = p[2];
      double X = 0, Z = 0;
      if (Y > 0 && cx > 0 && cy > 0) {
        X = cx * Y / cy;
        Z = X / cx - X - Y;
      }
      double rgb[3];
      matrix_times(k_xyz_to_rgb, X, Y, Z, rgb);
      p[0] = float(rgb[0]);
      p[1] = float(rgb[1]);
      p[2] = float(rgb[2]);
    }
  }
}

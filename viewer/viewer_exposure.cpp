// Exposure factors and the pixel scaling of the viewer (see the header).
#include "viewer/viewer_exposure.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/display_convert.h"
#include "core/hdr_image.h"

float exposure_step_factor(int item) {
  switch (item) {
    case 0:
      return std::pow(2.0f, 0.2f);
    case 2:
      return 2.0f;
    case 3:
      return 8.0f;
    case 4:
      return 32.0f;
    default:
      return std::pow(2.0f, 1.0f / 3.0f);
  }
}

Value_extent value_extent(const Hdr_image& image) {
  Value_extent e;
  const float* v = image.data();
  const uint64_t n = image.plane_size() * uint64_t(image.spectrum());
  float max = 0.f, min_positive = FLT_MAX;
  for (uint64_t i = 0; i < n; ++i) {
    const float x = v[i];
    if (x > max) max = x;
    if (x > 0.f && x < min_positive) min_positive = x;
  }
  if (max > 0.f) {
    e.max = max;
    e.min_positive = min_positive;
  }
  return e;
}

bool exposure_factor_fits(float factor, const Value_extent& e) {
  if (!std::isfinite(factor) || !(factor > 0.f)) return false;
  if (e.max <= 0.f) return true;  // nothing but zeros (and NaN) to scale
  // In double, where neither product can overflow or vanish.
  return double(e.max) * factor <= double(FLT_MAX) &&
         double(e.min_positive) * factor >= double(FLT_MIN);
}

float fitting_exposure_factor(float factor, const Value_extent& e) {
  if (!std::isfinite(factor) || !(factor > 0.f)) return 1.f;
  if (exposure_factor_fits(factor, e)) return factor;
  const double high = double(FLT_MAX) / e.max, low = double(FLT_MIN) / e.min_positive;
  if (low > high) return 1.f;
  float fitted = float(factor > high ? high : low);
  // The conversion to float may round just past the limit.
  if (!exposure_factor_fits(fitted, e))
    fitted = std::nextafter(fitted, factor > high ? 0.f : FLT_MAX);
  return exposure_factor_fits(fitted, e) ? fitted : 1.f;
}

float first_display_factor(const Hdr_image& image) {
  return fitting_exposure_factor(display_scale(image), value_extent(image));
}

void scale_image(Hdr_image& image, float factor) { image *= factor; }

std::string readout_position_text(int x, int y) {
  return "X = " + std::to_string(x) + " Y = " + std::to_string(y);
}

std::string readout_value_text(const char* name, float value, int decimals) {
  // Sized by a first call: a huge HDR value prints with dozens of digits.
  const int n = std::snprintf(nullptr, 0, "%s = %.*f", name, decimals, double(value));
  if (n <= 0) return std::string(name) + " = ";
  std::vector<char> buffer(size_t(n) + 1);
  std::snprintf(buffer.data(), buffer.size(), "%s = %.*f", name, decimals, double(value));
  return std::string(buffer.data(), size_t(n));
}

// Calibration arithmetic (see the header).
#include "hdr/luminance_calibration.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/hdr_image.h"

float calibration_luminance(float r, float g, float b) {
  // Each step rounded to float, so the value shown is the one the factor is taken from.
  const float gr = 0.7152f * g + 0.2126f * r;
  return gr + 0.0722f * b;
}

namespace {

// True when value * factor stays within the float range for every value of the image
// (NaN values stay NaN whatever the factor).
bool image_takes_factor(const Hdr_image& image, float factor) {
  if (factor <= 1.f) return true;  // nothing grows
  const float* v = image.data();
  const uint64_t n = image.plane_size() * uint64_t(image.spectrum());
  float largest = 0.f;
  for (uint64_t i = 0; i < n; ++i) {
    const float magnitude = std::fabs(v[i]);
    if (magnitude > largest) largest = magnitude;
  }
  // In double, where the product cannot overflow.
  return double(largest) * factor <= double(FLT_MAX);
}

}  // namespace

Calibration_factor calibration_factor(double typed, float luminance, const Hdr_image& image) {
  Calibration_factor result;
  if (!std::isfinite(typed) || typed < 0.0) {
    result.check = k_calibration_bad_value;
    return result;
  }
  // Past the float range the value would be no float at all.
  if (typed > double(FLT_MAX)) {
    result.check = k_calibration_out_of_range;
    return result;
  }
  const double v = double(float(typed)) + 0.0;  // + 0.0: a typed -0 multiplies as 0
  const double quotient = v / (double(luminance) + k_calibration_epsilon);
  // Out of range: a pixel whose luminance cancels the epsilon or divides a large value
  // into infinity; negative or NaN: a pixel of negative or undefined luminance.
  if (!(quotient >= 0.0) || quotient > double(FLT_MAX)) {
    result.check = k_calibration_out_of_range;
    return result;
  }
  const float factor = float(quotient);
  if (!image_takes_factor(image, factor)) {
    result.check = k_calibration_out_of_range;
    return result;
  }
  result.factor = factor;
  return result;
}

Calibration_check check_typed_text(const char* text) {
  if (!text) return k_calibration_not_a_number;
  char* end = nullptr;
  std::strtod(text, &end);
  if (end == text) return k_calibration_not_a_number;  // nothing read: no digit at all
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  return *end == '\0' ? k_calibration_ok : k_calibration_not_a_number;
}

std::string calibration_refusal_text(Calibration_check check) {
  switch (check) {
    case k_calibration_bad_value:
      return "The luminance must be a number of 0 or more. The image is unchanged.";
    case k_calibration_out_of_range:
      return "This luminance would make values of the image too large to hold. The image "
             "is unchanged.";
    case k_calibration_not_a_number:
      return "The Luminance field does not hold a number. The image is unchanged.";
    default:
      return std::string();
  }
}

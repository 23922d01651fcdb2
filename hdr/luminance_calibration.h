// Calibration to absolute luminance as plain arithmetic: the chosen pixel's luminance,
// the factor that gives it the luminance the user knows, and whether the image can take
// that factor.
#pragma once
#include <string>

class Hdr_image;

/// Added to the pixel's luminance so that a black pixel still gives a finite factor.
constexpr double k_calibration_epsilon = 1e-6;

/// (0.7152 g + 0.2126 r) + 0.0722 b in single precision, in that order (the weights of
/// HDR creation).
float calibration_luminance(float r, float g, float b);

enum Calibration_check {
  k_calibration_ok = 0,
  k_calibration_bad_value,     // the typed luminance is negative or not a finite number
  k_calibration_out_of_range,  // the factor, or some value times it, is not a finite float
  k_calibration_not_a_number,  // the field's text is no number ("", "-", ".", "e5")
};

struct Calibration_factor {
  Calibration_check check = k_calibration_ok;
  float factor = 1.f;  // set only when check is k_calibration_ok
};

/// The factor that turns luminance (the pixel's, at the time of the click) into typed
/// (cd/m^2): typed goes through float and back, then typed / (luminance +
/// k_calibration_epsilon) in double, then to float. Refused when typed is negative or not
/// finite, when the factor is not a finite number of 0 or more, or when multiplying some
/// value of image by it would give an infinity. Typed 0 is allowed (every value becomes 0).
Calibration_factor calibration_factor(double typed, float luminance, const Hdr_image& image);

/// k_calibration_ok when text (the Luminance field as typed) is one number, spaces around
/// it allowed, as strtod reads it; k_calibration_not_a_number otherwise. The float field
/// lets through text that strtod reads as 0 ("", "-", ".", "e5"): that is no typed 0.
Calibration_check check_typed_text(const char* text);

/// What the user is told about a refusal (empty for k_calibration_ok).
std::string calibration_refusal_text(Calibration_check check);

// The viewer's exposure factors: the step of each "Exposure steps:" choice, and the test
// that keeps a factor from pushing pixels to infinity or to zero.
#pragma once
#include <cstdint>
#include <string>

class Hdr_image;

/// The factor of one "Exposure steps:" item: 0 2^0.2, 1 2^(1/3), 2 2, 3 8, 4 32; any other
/// item (none chosen) 2^(1/3).
float exposure_step_factor(int item);

/// The largest value and the smallest value above zero over every plane (NaN skipped);
/// both 0 when the image holds no positive value.
struct Value_extent {
  float max = 0.f;
  float min_positive = 0.f;
};
Value_extent value_extent(const Hdr_image& image);

/// True when multiplying values of that extent by factor keeps every positive value a
/// finite normal float: factor finite and above 0, max * factor at most the largest float
/// and min_positive * factor at least the smallest normal float.
bool exposure_factor_fits(float factor, const Value_extent& extent);

/// The factor brought into the range that fits; 1 when none does or factor is not a
/// positive finite number.
float fitting_exposure_factor(float factor, const Value_extent& extent);

/// The factor of an image's first display as HDR: display_scale (core/display_convert.h)
/// brought into the range that fits, so that no value becomes infinite or is lost.
float first_display_factor(const Hdr_image& image);

/// Multiplies every value of every plane by factor.
void scale_image(Hdr_image& image, float factor);

/// The pixel readout's texts: "X = 3 Y = 4", "R = 0.5000" (4 decimals), "L = 0.25" (2).
std::string readout_position_text(int x, int y);
std::string readout_value_text(const char* name, float value, int decimals);

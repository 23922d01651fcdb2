// The resize dialog's arithmetic: linked width and height, the switch between pixels and
// percent, the target size with its checks, and the method's interpolation code.
#pragma once
#include <cstdint>

/// Largest value a pixel field is given (the fields hold int values).
inline constexpr int64_t k_max_pixel_field = 2147483647;

/// Interpolation code of a method item: the resize dialog's "Method:" and the preferences'
/// "Resize method:" (the viewer's picture) list the same three. 0 gives 1 (nearest
/// neighbour), 1 gives 3 (linear), 2 gives 5 (the cubic B-spline); any other item, none
/// chosen included, 1.
int resize_interpolation(int method_item);

/// The other side in pixel mode with the aspect kept: (int)(value / ref_from * ref_to),
/// computed in float, at least 1 and at most k_max_pixel_field. A reference side of 0
/// counts as 1.
int64_t linked_pixel_side(int64_t value, uint32_t ref_from, uint32_t ref_to);

/// Pixels shown as percent of the reference side: pixels * 100 / max(1, ref), in float.
float pixels_to_percent(int64_t pixels, uint32_t ref);

/// Percent shown as pixels: (int)(ref * (percent / 100)), at least 1 and at most
/// k_max_pixel_field; NaN gives 1.
int64_t percent_to_pixels(double percent, uint32_t ref);

enum class Resize_check {
  ok,
  not_positive,  // a field is 0, negative or not a number
  too_large,     // the size is beyond the images the program can hold (image_limits.h)
};

struct Resize_target {
  Resize_check check = Resize_check::not_positive;
  uint32_t width = 0, height = 0;  // set when check is ok
};

/// The size a resize produces from the two field values: in percent mode ref * (value /
/// 100), in pixel mode the values; each truncated and at least 1.
Resize_target resize_target(double width_value, double height_value, bool percent,
                            uint32_t ref_width, uint32_t ref_height);

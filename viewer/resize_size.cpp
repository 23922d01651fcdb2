// The resize dialog's arithmetic (see the header).
#include "viewer/resize_size.h"

#include <cmath>

#include "core/image_limits.h"

namespace {

// Truncated toward zero, at least 1, at most limit; NaN gives 1.
int64_t side_from(double v, double limit) {
  if (!(v >= 1.0)) return 1;
  if (v >= limit) return int64_t(limit);
  return int64_t(v);
}

}  // namespace

int resize_interpolation(int method_item) {
  switch (method_item) {
    case 1:
      return 3;
    case 2:
      return 5;
    default:
      return 1;
  }
}

int64_t linked_pixel_side(int64_t value, uint32_t ref_from, uint32_t ref_to) {
  const float from = float(ref_from ? ref_from : 1);
  const float side = float(value) / from * float(ref_to);
  return side_from(double(side), double(k_max_pixel_field));
}

float pixels_to_percent(int64_t pixels, uint32_t ref) {
  return float(pixels) * 100.f / float(ref ? ref : 1);
}

int64_t percent_to_pixels(double percent, uint32_t ref) {
  return side_from(double(ref) * (percent / 100.0), double(k_max_pixel_field));
}

Resize_target resize_target(double width_value, double height_value, bool percent,
                            uint32_t ref_width, uint32_t ref_height) {
  Resize_target t;
  if (!(width_value > 0.0) || !(height_value > 0.0)) return t;
  const double w = percent ? double(ref_width) * (width_value / 100.0) : width_value;
  const double h = percent ? double(ref_height) * (height_value / 100.0) : height_value;
  // Anything past the pixel limit is refused below; the cap only keeps the casts defined.
  constexpr double k_cap = double(k_max_image_pixels) + 1.0;
  const int64_t sw = side_from(w, k_cap), sh = side_from(h, k_cap);
  if (!image_size_ok(uint64_t(sw), uint64_t(sh))) {
    t.check = Resize_check::too_large;
    return t;
  }
  t.check = Resize_check::ok;
  t.width = uint32_t(sw);
  t.height = uint32_t(sh);
  return t;
}

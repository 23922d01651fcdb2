// The crop dialog's region: corner and size as typed, checked against the image and
// turned into the inclusive column and row range to keep.
#pragma once
#include <cstdint>

/// Inclusive bounds, x0 <= x1 and y0 <= y1.
struct Crop_region {
  int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  uint64_t width() const { return uint64_t(x1 - x0 + 1); }
  uint64_t height() const { return uint64_t(y1 - y0 + 1); }
};

/// The region from the fields: far corner x1 = x + width - 1, y1 = y + height - 1; false
/// unless both x and x1 lie in [0, image_width) and both y and y1 in [0, image_height).
/// The corners are then ordered, so a width of 0 or a negative width keeps the columns
/// between x1 and x (both included). Fields are expected within k_field_integer_limit.
bool crop_region(int64_t x, int64_t y, int64_t width, int64_t height, uint64_t image_width,
                 uint64_t image_height, Crop_region& out);

/// True when the region lies inside an image of that size.
bool region_fits(const Crop_region& region, uint64_t image_width, uint64_t image_height);

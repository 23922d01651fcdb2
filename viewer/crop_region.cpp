// The crop dialog's region check (see the header).
#include "viewer/crop_region.h"

#include <algorithm>

namespace {

bool inside(int64_t v, uint64_t size) { return v >= 0 && uint64_t(v) < size; }

}  // namespace

bool crop_region(int64_t x, int64_t y, int64_t width, int64_t height, uint64_t image_width,
                 uint64_t image_height, Crop_region& out) {
  const int64_t x1 = x + width - 1, y1 = y + height - 1;
  if (!inside(x, image_width) || !inside(x1, image_width) || !inside(y, image_height) ||
      !inside(y1, image_height))
    return false;
  out.x0 = std::min(x, x1);
  out.x1 = std::max(x, x1);
  out.y0 = std::min(y, y1);
  out.y1 = std::max(y, y1);
  return true;
}

bool region_fits(const Crop_region& region, uint64_t image_width, uint64_t image_height) {
  return inside(region.x0, image_width) && inside(region.x1, image_width) &&
         inside(region.y0, image_height) && inside(region.y1, image_height);
}

#include "core/geometry.h"

#include <algorithm>

bool rects_intersect(int x0, int y0, int x1, int y1, int a0, int b0, int a1, int b1) {
  return !(a1 < x0 || a0 > x1 || b1 < y0 || b0 > y1);
}

float fit_scale(std::uint32_t box_w, std::uint32_t box_h, std::uint32_t image_w,
                std::uint32_t image_h) {
  if (image_w == 0 || image_h == 0) return 1.0f;
  const float sx = static_cast<float>(box_w) / static_cast<float>(image_w);
  const float sy = static_cast<float>(box_h) / static_cast<float>(image_h);
  return std::min(sx, sy);
}

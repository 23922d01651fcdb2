#include "tests/support/hdr_scene.h"

#include <algorithm>
#include <cmath>

Rgb_rows hdr_scene_rows(int32_t width, int32_t height) {
  Rgb_rows r(width, height);
  const double cx = 0.7 * width, cy = 0.2 * height, sun = 0.05 * std::min(width, height) + 1;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const double u = double(x) / width, v = double(y) / height;
      // Texture from an integer hash, so neighbouring pixels differ a little.
      const uint32_t h = (uint32_t(x) * 73856093u) ^ (uint32_t(y) * 19349663u);
      const double grain = 0.8 + 0.4 * double(h % 1000) / 1000.0;
      double base = v < 0.5 ? 2.0 * std::pow(10.0, 1.0 - 2.0 * v) : 1e-3 * std::pow(30.0, u);
      double rr = 0.8, gg = 0.9, bb = 1.2;  // bluish sky
      if (v >= 0.5) rr = 1.1, gg = 1.0, bb = 0.7;
      if (u > 0.1 && u < 0.25 && v > 0.6 && v < 0.8) {  // lit red patch
        rr = 1.5, gg = 0.3, bb = 0.2;
        base *= 100.0;
      }
      if (u > 0.4 && u < 0.5 && v > 0.55 && v < 0.9) base *= 300.0;  // lit wall
      const double d = std::hypot(x - cx, y - cy);
      if (d < sun) base = 2e4;
      r.set(x, y, float(base * rr * grain), float(base * gg * grain), float(base * bb * grain));
    }
  }
  return r;
}

// The two B-spline samplers, for float and byte images.
#include "core/bspline.h"

#include <cmath>

namespace {

// Column weights for the offsets -1, 0, +1, +2 of a fraction d in [0, 1).
inline void column_weights(float d, float w[4]) {
  w[0] = cubic_bspline_weight(-1.f - d);
  w[1] = cubic_bspline_weight(d);
  w[2] = cubic_bspline_weight(1.f - d);
  w[3] = cubic_bspline_weight(2.f - d);
}

// Row weights; by symmetry equal to the column weights.
inline void row_weights(float d, float w[4]) {
  w[0] = cubic_bspline_weight(d + 1.f);
  w[1] = cubic_bspline_weight(d);
  w[2] = cubic_bspline_weight(d - 1.f);
  w[3] = cubic_bspline_weight(d - 2.f);
}

// NaN counts as 0; the rest is clamped to [0, last].
inline float clamp_position(float v, int last) {
  if (!(v > 0.f)) return 0.f;
  return v > float(last) ? float(last) : v;
}

template <typename T>
float sample_clamped(const cimg_library::CImg<T>& image, float x, float y, uint32_t z, uint32_t c) {
  const int w = image.width(), h = image.height();
  x = clamp_position(x, w - 1);
  y = clamp_position(y, h - 1);
  const int ix = int(x), iy = int(y);
  const float dx = x - float(ix), dy = y - float(iy);

  int cols[4];
  cols[0] = ix < 1 ? ix : ix - 1;
  cols[1] = ix;
  cols[2] = ix + 1 < w ? ix + 1 : w - 1;
  cols[3] = cols[2] + 1 < w ? cols[2] + 1 : w - 1;
  int rows[4];
  rows[0] = iy < 1 ? iy : iy - 1;
  rows[1] = iy;
  rows[2] = iy + 1 < h ? iy + 1 : h - 1;
  rows[3] = rows[2] + 1 < h ? rows[2] + 1 : h - 1;

  float wx[4], wy[4];
  column_weights(dx, wx);
  row_weights(dy, wy);
  float sum = 0.f;
  for (int r = 0; r < 4; ++r) {
    const T* row = image.data(0, rows[r], z, c);
    sum += wy[r] * (wx[0] * float(row[cols[0]]) + wx[1] * float(row[cols[1]]) +
                    wx[2] * float(row[cols[2]]) + wx[3] * float(row[cols[3]]));
  }
  return sum;
}

template <typename T>
float sample_or(const cimg_library::CImg<T>& image, float x, float y, uint32_t z, uint32_t c,
                T outside) {
  const int w = image.width(), h = image.height();
  if (!std::isfinite(x) || !std::isfinite(y)) return float(outside);
  // Beyond these every neighbour lies outside, and the conversions below stay defined.
  x = x < -4.f ? -4.f : (x > float(w) + 3.f ? float(w) + 3.f : x);
  y = y < -4.f ? -4.f : (y > float(h) + 3.f ? float(h) + 3.f : y);
  const int ix = int(x) - (x < 0.f ? 1 : 0), iy = int(y) - (y < 0.f ? 1 : 0);
  const float dx = x - float(ix), dy = y - float(iy);

  float wx[4], wy[4];
  column_weights(dx, wx);
  row_weights(dy, wy);
  float sum = 0.f;
  for (int r = 0; r < 4; ++r) {
    const int yy = iy - 1 + r;
    const bool row_inside = yy >= 0 && yy < h;
    const T* row = row_inside ? image.data(0, yy, z, c) : nullptr;
    float s = 0.f;
    for (int k = 0; k < 4; ++k) {
      const int xx = ix - 1 + k;
      const float v = row_inside && xx >= 0 && xx < w ? float(row[xx]) : float(outside);
      s += wx[k] * v;
    }
    sum += wy[r] * s;
  }
  return sum;
}

}  // namespace

float cubic_bspline_at(const cimg_library::CImg<float>& image, float x, float y, uint32_t z,
                       uint32_t c) {
  return sample_clamped(image, x, y, z, c);
}

float cubic_bspline_at(const Rgb8_image& image, float x, float y, uint32_t z, uint32_t c) {
  return sample_clamped(image, x, y, z, c);
}

float cubic_bspline_at_or(const cimg_library::CImg<float>& image, float x, float y, uint32_t z,
                          uint32_t c, float outside) {
  return sample_or(image, x, y, z, c, outside);
}

float cubic_bspline_at_or(const Rgb8_image& image, float x, float y, uint32_t z, uint32_t c,
                          uint8_t outside) {
  return sample_or(image, x, y, z, c, outside);
}

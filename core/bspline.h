// The cubic B-spline kernel and samplers behind every bicubic resize and cubic rotation:
// a smoothing (approximating) cubic, not an interpolating one, so it never overshoots.
#pragma once
#include <cstdint>

#include "core/pixel_buffers.h"

/// Kernel R(x) = (P(x+2)^3 - 4 P(x+1)^3 + 6 P(x)^3 - 4 P(x-1)^3) / 6, P(t) = max(t, 0): the
/// uniform cubic B-spline for |x| <= 2 (R(0) = 4/6, R(+-1) = 1/6, R(+-2) = 0). Only ever
/// evaluated on [-2, 2].
inline float cubic_bspline_weight(float x) {
  const auto cube = [](float t) { return t > 0.f ? t * t * t : 0.f; };
  return (cube(x + 2.f) - 4.f * cube(x + 1.f) + 6.f * cube(x) - 4.f * cube(x - 1.f)) / 6.f;
}

/// Value of channel c of slice z at the real position (x, y): the position is clamped to
/// the image and so are the 4 x 4 neighbours (the edge repeats). A NaN coordinate counts
/// as 0. The image must not be empty and z, c must be valid.
float cubic_bspline_at(const cimg_library::CImg<float>& image, float x, float y, uint32_t z,
                       uint32_t c);
/// The same on byte samples; the caller converts the result back to a byte.
float cubic_bspline_at(const Rgb8_image& image, float x, float y, uint32_t z, uint32_t c);

/// The same without clamping the position: neighbours outside the image take the value
/// outside. Positions that are not finite take outside.
float cubic_bspline_at_or(const cimg_library::CImg<float>& image, float x, float y, uint32_t z,
                          uint32_t c, float outside);
/// The same on byte samples.
float cubic_bspline_at_or(const Rgb8_image& image, float x, float y, uint32_t z, uint32_t c,
                          uint8_t outside);

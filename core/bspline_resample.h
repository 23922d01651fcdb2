// Resize and rotation on the cubic B-spline samplers: the system's "Bi-cubic" (the image
// library's interpolation type 5) and cubic rotation, for float and 8-bit images.
#pragma once
#include <cstdint>

#include "core/pixel_buffers.h"

/// Source position of output index i along an axis of in samples resized to out: i * f,
/// at most in - 1, with f = (in - 1) / (out - 1) when enlarging (the end samples meet the
/// end samples) and f = in / out otherwise; the image library's own rule for its resizes.
double bspline_source_position(uint32_t i, uint32_t in, uint32_t out);

/// A copy resized to width x height (depth and channels kept), every value the clamped
/// B-spline sampler at the mapped position; an axis whose size does not change is copied,
/// not filtered. Byte results are rounded to nearest. Sizes of 0 count as 1; an empty
/// image gives an empty image.
cimg_library::CImg<float> resized_bspline(const cimg_library::CImg<float>& image, uint32_t width,
                                          uint32_t height);
Rgb8_image resized_bspline(const Rgb8_image& image, uint32_t width, uint32_t height);

/// In place (the type and statistics of an Hdr_image stay).
void resize_bspline(cimg_library::CImg<float>& image, uint32_t width, uint32_t height);
void resize_bspline(Rgb8_image& image, uint32_t width, uint32_t height);

/// Resize in place by the image library's interpolation code (1 nearest, 3 linear, ...),
/// code 5, the system's "Bi-cubic", going to resize_bspline instead of the library's
/// interpolating cubic. Sizes of 0 count as 1.
void resize_image(cimg_library::CImg<float>& image, uint32_t width, uint32_t height,
                  int interpolation);
void resize_image(Rgb8_image& image, uint32_t width, uint32_t height, int interpolation);

/// Interpolation code of the B-spline resize.
constexpr int k_interpolation_bspline = 5;

/// A copy rotated by angle degrees clockwise on screen, as the image library rotates:
/// multiples of 90 are exact transpositions; other angles enlarge the image to hold the
/// turned one, sampling with cubic_bspline_at_or and 0 outside.
cimg_library::CImg<float> rotated_bspline(const cimg_library::CImg<float>& image, float angle);
Rgb8_image rotated_bspline(const Rgb8_image& image, float angle);

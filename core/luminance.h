// Luminance, log-luminance statistics, histograms and RGB <-> Yxy conversions.
// Two layouts occur: the planes of an Hdr_image, and rows: an array of height pointers,
// each to one row of width interleaved R, G, B floats.
#pragma once
#include <cstdint>
#include <memory>

class Hdr_image;

/// Luminance weights of statistics, display exposure, histogram and tone mapping.
constexpr double k_lum_r = 0.2125, k_lum_g = 0.7154, k_lum_b = 0.0721;

/// Writes the width*height luminance values of the image into out.
void luminance_of(const Hdr_image& image, float* out);
/// The n luminance values of three planes.
std::unique_ptr<float[]> luminance_from_planes(const float* red, const float* green,
                                               const float* blue, uint64_t n);
/// The n luminance values sorted ascending; NaN values sort first.
std::unique_ptr<float[]> sorted_luminance(const float* red, const float* green, const float* blue,
                                          uint64_t n);
/// Luminance of every pixel of RGB rows into rows of doubles.
void luminance_rows(const float* const* rows, double* const* out, uint64_t width, uint64_t height);
/// Luminance of one pixel of RGB rows.
double luminance_at(const float* const* rows, uint64_t x, uint64_t y);
/// Over v = ln(L + 1e-5): the minimum, maximum and average. Nothing is written when
/// height is 0.
void log_luminance_stats(const float* const* rows, uint64_t width, uint64_t height, double& min,
                         double& max, double& average);
/// qsort-style comparison: -1, 0 or 1; NaN compares equal to everything.
int compare_floats(const float* a, const float* b);
/// Histogram of n values into bins counters; with log set, values are first replaced in
/// place by ln(value + 1e-6). NaN values are not counted; n = 0 gives zero counts.
std::unique_ptr<uint32_t[]> compute_histogram(float* values, uint64_t n, uint32_t bins, bool log);
/// One RGB pixel to (Y, x, y) in place.
void rgb_to_yxy(float* pixel);
/// Every pixel of the rows to (Y, x, y), in place.
void rgb_to_yxy_rows(float* const* rows, uint64_t width, uint64_t height);
/// Every pixel of the rows from (Y, x, y) back to RGB, in place; no clamping.
void yxy_to_rgb_rows(float* const* rows, uint64_t width, uint64_t height);

// Radiance RGBE writer: header, float-to-RGBE conversion, run-length encoded scanlines.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/rgbe_header_info.h"

class Hdr_image;

/// Writes "#?RGBE", "FORMAT=32-bit_rle_rgbe", a blank line and "-Y <height> +X <width>".
/// With info, its program type replaces "RGBE" when flagged, and flagged GAMMA= and
/// EXPOSURE= lines follow the first line. Returns 0, or -1 after a line on standard error on a
/// failed write.
int rgbe_write_header(std::FILE* file, uint32_t width, uint32_t height,
                      const Rgbe_header_info* info = nullptr);

/// One pixel to (r, g, b, e) bytes, sharing the exponent of the largest channel. A largest
/// value below 1e-32 gives four zeros; NaN and negative channels count as 0; values of
/// 2^127 and more (infinity too) saturate at the largest RGBE value instead of wrapping.
void float_to_rgbe(float red, float green, float blue, unsigned char rgbe[4]);

/// pixel_count interleaved RGB float pixels, 4 bytes each, no encoding. 0 or -1.
int rgbe_write_pixels(std::FILE* file, const float* data, uint64_t pixel_count);

/// height scanlines of width interleaved RGB float pixels, each run-length encoded by
/// component; widths below 8 or above 32767 are written flat. 0, or -1 after a line on standard
/// error.
int rgbe_write_pixels_rle(std::FILE* file, const float* data, uint32_t width, uint32_t height);

/// Writes the image (3 planes) as an RGBE file through a temporary file beside path.
/// Throws Write_error "Cannot open image file for writing: ", "Cannot write rgbe header
/// to file: " or "Cannot write rgbe data to file: " followed by the path.
void write_rgbe(const Hdr_image& image, const std::string& path);

// Radiance RGBE reading: the header, run-length and flat pixel data, and the whole file
// into an image's planes.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/rgbe_header_info.h"

class Hdr_image;

/// Reads the header up to and including the resolution line "-Y <height> +X <width>"
/// (the only orientation accepted). Fills info when it is not null. Sizes must be at least
/// 1 and their product within k_max_image_pixels. Returns 0, or -1 after printing a
/// diagnostic to standard error.
int rgbe_read_header(std::FILE* file, uint32_t& width, uint32_t& height, Rgbe_header_info* info);

/// Reads width*height pixels into the three planes: run-length scanlines, or flat pixels
/// for widths outside 8..32767 and from the first scanline without a run-length marker on.
/// Pumps events once per scanline. Returns 0, or -1 after printing a diagnostic.
int rgbe_read_pixels_rle(std::FILE* file, float* red, float* green, float* blue, uint32_t width,
                         uint32_t height);

/// Reads count flat 4-byte pixels into the planes. Returns 0, or -1 after a short read.
int rgbe_read_pixels(std::FILE* file, float* red, float* green, float* blue, uint64_t count);

/// Reads the whole file into image (width x height x 1 x 3). Throws Read_error.
void read_rgbe(Hdr_image& image, const std::string& path);

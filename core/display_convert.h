// From an image to display bytes: the exposure factors that bring HDR values into the
// display range 0..9999, the gamma tables, and the float-to-byte conversion.
#pragma once
#include <cstdint>

#include "core/pixel_buffers.h"

/// Upper end of the display range of HDR values; 8-bit images use 0..255 directly.
constexpr float k_display_max = 9999.f;

/// Exposure factor 9999 / (reference luminance + 1e-12): the reference is the 92nd or
/// 97th percentile of the luminance for richly graded images, the maximum for images
/// with few distinct levels. An empty image counts as black; a reference that is NaN
/// (mostly NaN pixels) is replaced by the largest value.
float display_scale(const Hdr_image& image);

/// 127.5 / (mean luminance + 1e-6): maps the mean luminance to mid-grey. NaN pixels are
/// left out of the mean; an empty image counts as black.
float mean_exposure_scale(const Hdr_image& image);

/// Each channel value to a byte through the gamma table (HDR types, range 0..9999) or the
/// identity (other types, range 0..255); NaN and values below 0 give 0, values above the
/// range its top. The gamma is display_gamma(), read at every call; the table is rebuilt
/// when it changed. out is reallocated when it is not of image's size with 3 planes.
/// Throws std::invalid_argument when image has fewer than 3 planes.
void to_display_rgb8(const Hdr_image& image, Rgb8_image& out, uint32_t type);

/// The same into width*height*3 interleaved R, G, B bytes (thumbnails, tone-mapping
/// preview), with a separate gamma table built once, with the gamma of its first use.
void to_display_rgb8_interleaved(uint8_t* out, const Hdr_image& image, uint32_t type);

/// Ascending comparator of luminance values: -1 when *b is greater, 1 when *a is, else 0.
int compare_luminance(const float* a, const float* b);

/// Entry i of a gamma table: trunc(powf(i / 9999, 1 / gamma) * 255 + 0.5). A gamma that
/// is not a positive finite number is taken as the default 2.2.
uint8_t gamma_table_entry(uint32_t i, float gamma);

// Tone mapping a whole image with one of the dialog's five types, and the preview's
// pieces: the scaled-down source, its luminance histogram and its display bytes.
#pragma once
#include <cstdint>
#include <memory>

class Hdr_image;

/// Items of the type choice, in its order.
enum Tonemap_type : uint32_t {
  k_tonemap_automatic = 0,  // photographic, local or global as the image asks
  k_tonemap_global = 1,
  k_tonemap_local = 2,
  k_tonemap_interactive = 3,  // photoreceptor, the only type that reads the other sliders
  k_tonemap_asymmetric = 4,
};

/// What one tone mapping reads from the dialog, copied so that a batch keeps the values it
/// started with.
struct Tonemap_settings {
  uint32_t type = k_tonemap_automatic;
  float saturation = 0.5f;
  float lightness = 0.0f;
  float contrast = 0.5f;
  float gamma = 2.2f;
  bool user_contrast = false;  // false: the interactive type finds its own contrast
};

/// Tone-maps image in place with the settings' type; every channel ends in 0..255. A type
/// past the last does nothing. Throws what the operators throw (std::invalid_argument,
/// cv::Exception for an asymmetric image under 10 pixels a side, std::bad_alloc).
void tonemap_image(Hdr_image& image, const Tonemap_settings& settings);

/// The image scaled by fit_scale into box_w x box_h with nearest-neighbour sampling, to
/// max(trunc(side * scale), 1) a side (small images are enlarged); type and values kept.
Hdr_image preview_source(const Hdr_image& image, uint32_t box_w, uint32_t box_h);

/// Bins of the preview histogram: one per displayable grey level.
constexpr int k_preview_histogram_bins = 256;
/// Linear histogram of the image's luminance in k_preview_histogram_bins bins.
std::unique_ptr<uint32_t[]> preview_histogram(const Hdr_image& image);

/// width * height * 3 interleaved bytes of the image as an 8-bit picture (values clamped
/// to 0..255, no gamma): the preview's pixels. Allocated with new[], for an Fl_RGB_Image
/// that frees them.
std::unique_ptr<uint8_t[]> preview_bytes(const Hdr_image& image);

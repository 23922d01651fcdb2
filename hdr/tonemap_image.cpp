// The five tone-mapping types over an image, and the preview's pieces (see the header).
#include "hdr/tonemap_image.h"

#include <algorithm>
#include <cmath>

#include "core/display_convert.h"
#include "core/geometry.h"
#include "core/hdr_image.h"
#include "core/luminance.h"
#include "core/mat_convert.h"
#include "core/pixel_buffers.h"
#include "hdr/tonemap_asymmetric.h"
#include "hdr/tonemap_photographic.h"
#include "hdr/tonemap_photoreceptor.h"

namespace {

// The image library's nearest-neighbour interpolation code.
constexpr int k_interpolation_nearest = 1;

uint32_t scaled_side(uint32_t side, float scale) {
  const double s = std::trunc(double(side) * double(scale));
  return s >= 1.0 ? uint32_t(std::min(s, 2147483647.0)) : 1u;
}

}  // namespace

void tonemap_image(Hdr_image& image, const Tonemap_settings& s) {
  switch (s.type) {
    case k_tonemap_automatic:
    case k_tonemap_global:
    case k_tonemap_local:
    case k_tonemap_interactive: {
      Image_rows rows = image_to_rows(image);
      const int32_t w = int32_t(rows.width()), h = int32_t(rows.height());
      if (s.type == k_tonemap_interactive)
        tonemap_photoreceptor(rows.rows(), w, h, s.saturation, s.lightness, s.contrast, s.gamma,
                              s.user_contrast);
      else
        tonemap_photographic(rows.rows(), w, h, s.gamma, s.type);
      rows_to_image(rows, image);
      break;
    }
    case k_tonemap_asymmetric: {
      cv::Mat result;
      tonemap_asymmetric(result, image_to_mat(image), s.gamma);
      mat_into_image(result, image);
      break;
    }
    default:
      break;
  }
  image.stats = Image_stats{};  // the cached figures were those of the HDR values
}

Hdr_image preview_source(const Hdr_image& image, uint32_t box_w, uint32_t box_h) {
  const uint32_t iw = uint32_t(image.width()), ih = uint32_t(image.height());
  const float scale = fit_scale(box_w, box_h, iw, ih);
  Hdr_image preview;
  preview.type = image.type;
  // Straight from the source: no full-size copy of a large image is made.
  image
      .get_resize(int(scaled_side(iw, scale)), int(scaled_side(ih, scale)), -100, -100,
                  k_interpolation_nearest)
      .move_to(static_cast<cimg_library::CImg<float>&>(preview));
  return preview;
}

std::unique_ptr<uint32_t[]> preview_histogram(const Hdr_image& image) {
  const float *r, *g, *b;
  rgb_planes(image, r, g, b);
  const uint64_t n = image.plane_size();
  std::unique_ptr<float[]> lum = luminance_from_planes(r, g, b, n);
  return compute_histogram(lum.get(), n, uint32_t(k_preview_histogram_bins), false);
}

std::unique_ptr<uint8_t[]> preview_bytes(const Hdr_image& image) {
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[image.plane_size() * 3]);
  to_display_rgb8_interleaved(bytes.get(), image, k_type_new_ldr);
  return bytes;
}

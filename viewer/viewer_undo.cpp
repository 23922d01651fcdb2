// Exchange of the viewer's image and its undo copy (see the header).
#include "viewer/viewer_undo.h"

#include <utility>

#include "core/hdr_image.h"
#include "viewer/viewer_exposure.h"

void exchange_undo_copy(Hdr_image& image, float& exposure, Hdr_image& copy, float& copy_exposure) {
  // Swapped, not copied: an undo of a large image costs no second buffer.
  static_cast<cimg_library::CImg<float>&>(image).swap(copy);
  std::swap(image.type, copy.type);
  std::swap(image.stats, copy.stats);

  const float shown = exposure, restored = copy_exposure;
  // The copy now holds the pixels that were on screen, at the factor shown.
  copy_exposure = shown;
  if (restored == shown) return;
  const float factor = shown / restored;
  if (exposure_factor_fits(factor, value_extent(image))) {
    scale_image(image, factor);
  } else {
    exposure = restored;
  }
}

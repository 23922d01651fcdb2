// Saving with the display exposure divided out (see the header).
#include "viewer/exposure_save.h"

#include "core/hdr_image.h"
#include "core/image_save.h"

void save_image_at_exposure(Hdr_image& image, float exposure, const std::string& path,
                            uint32_t type, const std::string& source_path) {
  const bool scaled = exposure != 1.f;
  if (scaled) image /= exposure;
  try {
    save_image_from(image, path, type, source_path);
  } catch (...) {
    if (scaled) image *= exposure;
    throw;
  }
  if (scaled) image *= exposure;
}

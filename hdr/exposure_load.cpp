// The exposures of an HDR series go through the program's own readers (which check every
// header field) rather than the image library's loaders, as bytes.
#include "hdr/exposure_load.h"

#include "core/image_load.h"

Rgb8_image load_exposure(const std::string& path, uint32_t type) {
  Rgb8_image out;
  load_image_bytes(out, path, type);
  return out;
}

Exposure_planes exposure_planes_of(Rgb8_image& image) {
  Exposure_planes p;
  p.pixels = image.data();
  p.width = image.width();
  p.height = image.height();
  p.channels = image.spectrum();
  return p;
}

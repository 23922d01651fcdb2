// The exposures of an HDR series go through the program's own readers (which check every
// header field) rather than the image library's loaders, then become bytes.
#include "hdr/exposure_load.h"

#include <cmath>

#include "core/hdr_image.h"
#include "core/image_load.h"

Rgb8_image load_exposure(const std::string& path, uint32_t type) {
  Hdr_image image;
  load_image(image, path, type);
  Rgb8_image out(image.width(), image.height(), 1, 3);
  const float* in = image.data();
  uint8_t* bytes = out.data();
  const uint64_t count = uint64_t(image.width()) * image.height() * 3;
  for (uint64_t i = 0; i < count; ++i) {
    const float v = in[i];
    // !(v > 0) also catches NaN.
    bytes[i] = !(v > 0.f) ? 0 : (v >= 255.f ? 255 : uint8_t(std::lround(v)));
  }
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

// Rectangle crops through the image library (see the header).
#include "core/image_crop.h"

#include <stdexcept>

#include "core/hdr_image.h"

bool crop_bounds_inside(const Crop_bounds& b, int width, int height) {
  return b.x0 >= 0 && b.y0 >= 0 && b.x0 <= b.x1 && b.y0 <= b.y1 && b.x1 < width && b.y1 < height;
}

void crop_image(Hdr_image& image, const Crop_bounds& b) {
  // Checked here: the image library would pad bounds outside the image with zeros.
  if (!crop_bounds_inside(b, image.width(), image.height()))
    throw std::invalid_argument("crop bounds are not inside the image");
  image.crop(b.x0, b.y0, 0, 0, b.x1, b.y1, image.depth() - 1, image.spectrum() - 1);
  image.stats = Image_stats{};
}

// Display pictures and display-image resizing of the viewer (see the header).
#include "viewer/viewer_display.h"

#include <FL/Fl_RGB_Image.H>

#include <algorithm>

#include "core/bspline_resample.h"

Viewer_display::~Viewer_display() { free_picture(); }

void Viewer_display::free_picture() {
  delete picture;
  picture = nullptr;
  pixels.reset();
}

void resize_display_image(Rgb8_image& image, int w, int h, int interpolation) {
  w = std::max(w, 1);
  h = std::max(h, 1);
  if (image.width() == w && image.height() == h) return;
  // The library's own cubic interpolates (Catmull-Rom); the program's is the B-spline.
  if (interpolation == 5) {
    resize_bspline(image, uint32_t(w), uint32_t(h));
    return;
  }
  // Depth and planes kept (-100: 100 % of the current size).
  image.resize(w, h, -100, -100, interpolation);
}

Fl_RGB_Image* make_picture(const Rgb8_image& image, std::unique_ptr<uint8_t[]>& pixels) {
  const uint64_t n = uint64_t(image.width()) * uint64_t(image.height()) * 3;
  pixels.reset(new uint8_t[n]);
  planar_rgb8_to_interleaved(pixels.get(), image);
  return new Fl_RGB_Image(pixels.get(), image.width(), image.height(), 3);
}

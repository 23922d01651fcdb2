// The display pictures of a viewer's first image box: the 8-bit planar display image,
// its interleaved pixels and the FLTK picture over them; and the resize of display
// images by interpolation code.
#pragma once
#include <cstdint>
#include <memory>

#include "core/pixel_buffers.h"

class Fl_RGB_Image;

struct Viewer_display {
  Rgb8_image planar;                  // iw x ih, then resized to the zoomed size
  std::unique_ptr<uint8_t[]> pixels;  // zw * zh * 3 interleaved bytes of the picture
  Fl_RGB_Image* picture = nullptr;    // shown on the first box; owned
  ~Viewer_display();
  /// Deletes the picture and its pixels.
  void free_picture();
};

/// Resizes image in place to w x h (each at least 1) with the interpolation code.
void resize_display_image(Rgb8_image& image, int w, int h, int interpolation);

/// A new picture of image (w x h x 3 planes) into pixels (replaced).
Fl_RGB_Image* make_picture(const Rgb8_image& image, std::unique_ptr<uint8_t[]>& pixels);

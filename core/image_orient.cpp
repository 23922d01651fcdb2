// Quarter turns and mirrors through the image library's orthogonal paths.
#include "core/image_orient.h"

#include <stdexcept>

#include "core/hdr_image.h"

void rotate_quarter_turns(Hdr_image& image, int degrees) {
  if (degrees % 90 != 0) throw std::invalid_argument("rotation is not a quarter turn");
  const int turns = ((degrees / 90) % 4 + 4) % 4;
  if (turns == 0 || image.is_empty()) return;
  // CImg copies pixels for multiples of 90 degrees unless Neumann boundaries are asked
  // for; 0 (Dirichlet) keeps it on that exact path.
  image.rotate(90.f * float(turns), 0, 0);
}

void flip_image(Hdr_image& image, char axis) {
  if (axis != 'x' && axis != 'y') throw std::invalid_argument("flip axis is not 'x' or 'y'");
  image.mirror(axis);
}

Orientation_walk orientation_walk(uint32_t orientation, uint32_t stored_w, uint32_t stored_h) {
  const int64_t w = stored_w, h = stored_h;
  Orientation_walk walk;
  walk.shown_w = stored_w;
  walk.shown_h = stored_h;
  // Each case follows from where stored (x, y) is shown: 2 at (w-1-x, y), 3 at
  // (w-1-x, h-1-y), 4 at (x, h-1-y), 5 at (y, x), 6 at (h-1-y, x), 7 at (h-1-y, w-1-x),
  // 8 at (y, w-1-x); the last four are h wide.
  switch (orientation) {
    case 2:
      walk = {stored_w, stored_h, w - 1, -1, w};
      break;
    case 3:
      walk = {stored_w, stored_h, h * w - 1, -1, -w};
      break;
    case 4:
      walk = {stored_w, stored_h, (h - 1) * w, 1, -w};
      break;
    case 5:
      walk = {stored_h, stored_w, 0, h, 1};
      break;
    case 6:
      walk = {stored_h, stored_w, h - 1, h, -1};
      break;
    case 7:
      walk = {stored_h, stored_w, w * h - 1, -h, -1};
      break;
    case 8:
      walk = {stored_h, stored_w, (w - 1) * h, -h, 1};
      break;
    default:
      walk.step_y = w;
      break;
  }
  return walk;
}

bool orientation_is_normal(uint32_t orientation) { return orientation < 2 || orientation > 8; }

namespace {

// One pass over the stored pixels in their order (reads stay sequential), channels values
// per pixel at a distance of channel_step; pixel_step is the distance of two pixels.
template <typename T>
void walk_pixels(const T* src, T* dst, uint32_t stored_w, uint32_t stored_h, uint32_t channels,
                 int64_t channel_step, int64_t pixel_step, uint32_t orientation) {
  const Orientation_walk walk = orientation_walk(orientation, stored_w, stored_h);
  for (uint64_t y = 0; y < stored_h; ++y) {
    const int64_t row = walk.start + int64_t(y) * walk.step_y;
    for (uint32_t c = 0; c < channels; ++c) {
      const T* in = src + int64_t(c) * channel_step + int64_t(y * stored_w) * pixel_step;
      T* out = dst + int64_t(c) * channel_step;
      int64_t at = row;
      for (uint32_t x = 0; x < stored_w; ++x, at += walk.step_x)
        out[at * pixel_step] = in[x * pixel_step];
    }
  }
}

template <typename T>
void planar(const T* src, T* dst, uint32_t w, uint32_t h, uint32_t planes, uint32_t orientation) {
  walk_pixels(src, dst, w, h, planes, int64_t(uint64_t(w) * h), 1, orientation);
}

}  // namespace

void orient_planar(const float* src, float* dst, uint32_t stored_w, uint32_t stored_h,
                   uint32_t planes, uint32_t orientation) {
  planar(src, dst, stored_w, stored_h, planes, orientation);
}

void orient_planar(const uint8_t* src, uint8_t* dst, uint32_t stored_w, uint32_t stored_h,
                   uint32_t planes, uint32_t orientation) {
  planar(src, dst, stored_w, stored_h, planes, orientation);
}

void orient_interleaved(const uint8_t* src, uint8_t* dst, uint32_t stored_w, uint32_t stored_h,
                        uint32_t channels, uint32_t orientation) {
  walk_pixels(src, dst, stored_w, stored_h, channels, 1, int64_t(channels), orientation);
}

void orient_image(Hdr_image& image, uint32_t orientation) {
  if (orientation_is_normal(orientation) || image.is_empty() || image.depth() != 1) return;
  const uint32_t w = uint32_t(image.width()), h = uint32_t(image.height());
  const Orientation_walk walk = orientation_walk(orientation, w, h);
  cimg_library::CImg<float> shown(walk.shown_w, walk.shown_h, 1, image.spectrum());
  orient_planar(image.data(), shown.data(), w, h, uint32_t(image.spectrum()), orientation);
  // The planes move over; type code and statistics stay with the image.
  image.swap(shown);
}

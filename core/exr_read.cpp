// OpenEXR reader: float slices point straight into the planes, shifted so the data
// window's corner lands on the first value (slices address absolute pixel coordinates).
#include "core/exr_read.h"

#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfThreading.h>

#include <cstdint>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"

namespace {

// Base address of a slice whose pixel (min_x, min_y) is plane[0]. Integer arithmetic:
// the shifted address generally lies outside the plane.
char* slice_base(float* plane, int64_t min_x, int64_t min_y, int64_t width) {
  const int64_t corner = min_x + min_y * width;
  return reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(plane) -
                                 uintptr_t(corner) * sizeof(float));
}

}  // namespace

void read_exr(Hdr_image& image, const std::string& path) {
  bool too_large = false;
  try {
    Imf::InputFile file(path.c_str(), Imf::globalThreadCount());
    const Imath::Box2i window = file.header().dataWindow();
    const int64_t width = int64_t(window.max.x) - window.min.x + 1;
    const int64_t height = int64_t(window.max.y) - window.min.y + 1;
    if (width < 1 || height < 1 || !image_size_ok(uint64_t(width), uint64_t(height))) {
      too_large = true;
    } else {
      image.assign(uint32_t(width), uint32_t(height), 1, 3);
      float *r, *g, *b;
      rgb_planes(image, r, g, b);
      const size_t y_stride = sizeof(float) * size_t(width);
      Imf::FrameBuffer frame;
      const char* names[] = {"R", "G", "B"};
      float* planes[] = {r, g, b};
      for (int c = 0; c < 3; ++c)
        frame.insert(names[c], Imf::Slice(Imf::FLOAT,
                                          slice_base(planes[c], window.min.x, window.min.y, width),
                                          sizeof(float), y_stride, 1, 1, 0.0));
      file.setFrameBuffer(frame);
      file.readPixels(window.min.y, window.max.y);
    }
  } catch (const std::exception& e) {
    image.assign();
    throw Read_error(e.what());
  }
  if (too_large) throw Read_error("Image too large in file: " + path);
}

// OpenEXR reader: float slices point straight into the planes, shifted so the data
// window's corner lands on the first value (slices address absolute pixel coordinates).
#include "core/exr_read.h"

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfCompression.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfThreading.h>

#include <algorithm>
#include <cstdint>

#include "core/float_planes.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/regular_file.h"

namespace {

// Base address of a slice whose pixel (min_x, min_y) is plane[0]. Integer arithmetic:
// the shifted address generally lies outside the plane.
char* slice_base(float* plane, int64_t min_x, int64_t min_y, int64_t width) {
  const int64_t corner = min_x + min_y * width;
  return reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(plane) -
                                 uintptr_t(corner) * sizeof(float));
}

// Scanlines read per step: a whole number of the compression's blocks (which hold 1, 16,
// 32 or 256 lines), so no block is decoded twice, and at least 16 lines.
int64_t chunk_lines(Imf::Compression compression) {
  switch (compression) {
    case Imf::DWAB_COMPRESSION:
      return 256;
    case Imf::PIZ_COMPRESSION:
    case Imf::B44_COMPRESSION:
    case Imf::B44A_COMPRESSION:
    case Imf::DWAA_COMPRESSION:
      return 32;
    default:
      return 16;
  }
}

}  // namespace

void read_exr(Hdr_image& image, const std::string& path) {
  if (!is_regular_file(path)) throw Read_error("Cannot open OpenEXR file: " + path);
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
      // A compression block of scanlines at a time, clamped while still in cache.
      const int64_t lines = chunk_lines(file.header().compression());
      for (int64_t y0 = window.min.y; y0 <= window.max.y; y0 += lines) {
        const int64_t y1 = std::min<int64_t>(y0 + lines - 1, window.max.y);
        file.readPixels(int(y0), int(y1));
        const uint64_t first = uint64_t(y0 - window.min.y) * uint64_t(width);
        const uint64_t count = uint64_t(y1 - y0 + 1) * uint64_t(width);
        for (float* plane : planes) clamp_loaded_values(plane + first, count);
      }
    }
  } catch (const std::exception& e) {
    image.assign();
    throw Read_error(e.what());
  }
  if (too_large) throw Read_error("Image too large in file: " + path);
}

bool exr_transparent(const std::string& path) {
  if (!is_regular_file(path)) throw Read_error("Cannot open OpenEXR file: " + path);
  try {
    Imf::InputFile file(path.c_str(), Imf::globalThreadCount());
    if (!file.header().channels().findChannel("A")) return false;
    const Imath::Box2i window = file.header().dataWindow();
    const int64_t width = int64_t(window.max.x) - window.min.x + 1;
    const int64_t height = int64_t(window.max.y) - window.min.y + 1;
    if (width < 1 || height < 1 || !image_size_ok(uint64_t(width), uint64_t(height)))
      throw Read_error("Image too large in file: " + path);
    Hdr_image alpha;
    alpha.assign(uint32_t(width), uint32_t(height), 1, 1);  // every value is read
    Imf::FrameBuffer frame;
    frame.insert("A",
                 Imf::Slice(Imf::FLOAT, slice_base(alpha.data(), window.min.x, window.min.y, width),
                            sizeof(float), sizeof(float) * size_t(width), 1, 1, 1.0));
    file.setFrameBuffer(frame);
    file.readPixels(window.min.y, window.max.y);
    const float* a = alpha.data();
    for (uint64_t i = 0, n = alpha.plane_size(); i < n; ++i)
      if (!(a[i] >= 1.f)) return true;
    return false;
  } catch (const Read_error&) {
    throw;
  } catch (const std::exception& e) {
    throw Read_error(e.what());
  }
}

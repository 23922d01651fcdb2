// One 8-bit exposure of a series as the HDR algorithms see it: planar bytes, not owned.
#pragma once
#include <cstdint>

/// channels planes of width*height bytes each (all red values, then green, then blue),
/// owned by the caller (usually the pixel buffer of a loaded 8-bit image). The algorithms
/// that align or smooth an exposure rewrite these bytes in place.
struct Exposure_planes {
  uint8_t* pixels = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t channels = 0;

  uint64_t plane_size() const { return uint64_t(width) * uint64_t(height); }
  uint8_t* plane(uint32_t c) const { return pixels + uint64_t(c) * plane_size(); }
};

// The largest image any reader accepts; larger declared sizes are refused before any
// buffer is allocated (a hostile header must not size a huge allocation).
#pragma once
#include <cstdint>

/// Pixels per image (width * height). 2^31 float RGB pixels are 24 GiB already.
#ifdef VELTRUM_FUZZING
// The fuzzing build runs under a memory limit that flags any larger allocation as a bug.
constexpr uint64_t k_max_image_pixels = 1ull << 22;
#else
constexpr uint64_t k_max_image_pixels = 1ull << 31;
#endif

/// True when a declared size is usable: both sides at least 1 and the product within
/// k_max_image_pixels (computed without overflow for any 64-bit inputs).
constexpr bool image_size_ok(uint64_t width, uint64_t height) {
  return width >= 1 && height >= 1 && width <= k_max_image_pixels &&
         height <= k_max_image_pixels / width;
}

// Limits of every loaded image: the largest size any reader accepts (larger declared sizes
// are refused before any buffer is allocated, so a hostile header cannot size a huge
// allocation), and the value range the readers establish.
#pragma once
#include <cmath>
#include <cstdint>
#include <type_traits>

/// Pixels per image (width * height). 2^31 float RGB pixels are 24 GiB already.
#ifdef VELTRUM_FUZZING
// The fuzzing build runs under memory and time limits per input that would flag the
// per-pixel work of larger (valid) images as findings.
constexpr uint64_t k_max_image_pixels = 1ull << 20;
#else
constexpr uint64_t k_max_image_pixels = 1ull << 31;
#endif

/// True when a declared size is usable: both sides at least 1 and the product within
/// k_max_image_pixels (computed without overflow for any 64-bit inputs).
constexpr bool image_size_ok(uint64_t width, uint64_t height) {
  return width >= 1 && height >= 1 && width <= k_max_image_pixels &&
         height <= k_max_image_pixels / width;
}

/// The value range of every loaded image: below 0 gives 0, above the largest float (and
/// +infinity) gives the largest float; NaN passes unchanged.
inline float clamp_loaded_value(float v) {
  constexpr float k_max = 3.4028235e38f;
  return v < 0.f ? 0.f : (v > k_max ? k_max : v);
}

/// A loaded value as a byte of the 8-bit planes HDR creation merges: rounded to the nearest
/// level, clamped to 0..255, NaN as 0. For the values of an 8-bit source (whole numbers
/// 0..255) it is exact.
inline uint8_t loaded_value_byte(float v) {
  // !(v > 0) also catches NaN.
  return !(v > 0.f) ? 0 : (v >= 255.f ? 255 : uint8_t(std::lround(v)));
}

/// A loaded value as a sample of the planes a reader fills: unchanged for float planes,
/// loaded_value_byte for byte planes, so that both hold the same picture.
template <typename T>
inline T loaded_sample(float v) {
  if constexpr (std::is_same<T, float>::value)
    return v;
  else
    return loaded_value_byte(v);
}

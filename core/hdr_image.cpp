// The image type's constructors, type classification and dynamic-range statistics.
#include "core/hdr_image.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/image_formats.h"
#include "core/luminance.h"

bool is_hdr_type(uint32_t type) {
  const Image_format* format = image_format(type);
  return format && format->hdr;
}

bool is_ldr_type(uint32_t type) { return !is_hdr_type(type); }

Hdr_image::Hdr_image(const Hdr_image& other)
    : cimg_library::CImg<float>(other), type(other.type), stats(other.stats) {}

Hdr_image& Hdr_image::operator=(const Hdr_image& other) {
  if (this == &other) return *this;
  assign(other);
  type = other.type;
  stats = other.stats;
  return *this;
}

Hdr_image::Hdr_image(uint32_t width, uint32_t height, uint32_t depth, uint32_t spectrum, float fill)
    : cimg_library::CImg<float>(width, height, depth, spectrum, fill) {}

void rgb_planes(Hdr_image& image, float*& red, float*& green, float*& blue) {
  const uint64_t n = image.plane_size();
  red = image.data();
  green = red + n;
  blue = red + 2 * n;
}

void rgb_planes(const Hdr_image& image, const float*& red, const float*& green,
                const float*& blue) {
  const uint64_t n = image.plane_size();
  red = image.data();
  green = red + n;
  blue = red + 2 * n;
}

void dynamic_range(Image_stats& stats, const Hdr_image& image) {
  stats = Image_stats{};
  if (image.is_empty() || image.spectrum() < 3) return;
  const uint64_t n = uint64_t(image.width()) * image.height();
  const float *r, *g, *b;
  rgb_planes(image, r, g, b);
  std::unique_ptr<float[]> v = sorted_luminance(r, g, b, n);

  // The sort puts NaN first; skip it along with the zeros.
  uint64_t k = 0;
  while (k < n && (v[k] == 0.f || std::isnan(v[k]))) ++k;
  if (k == n) return;

  const uint64_t top = n - 1;
  // With almost every pixel zero the trimmed low index could pass the top one: the
  // trimmed figures then use the same value at both ends (a range of 0).
  auto trimmed = [&](uint64_t drop) {
    const uint64_t hi = top >= drop ? top - drop : 0;
    const uint64_t lo = std::min(k + drop, hi >= k ? hi : k);
    return std::log10(v[std::max(hi, lo)]) - std::log10(v[lo]);
  };
  stats.range_log10 = std::log10(v[top]) - std::log10(v[k]);
  stats.range_ev = std::log2(v[top]) - std::log2(v[k]);
  stats.range_log10_99 = trimmed(n / 100);
  stats.range_log10_95 = trimmed(n / 20);
  stats.computed = 1;
}

// Exposure factors, gamma tables and the float-to-byte display conversion.
#include "core/display_convert.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "core/display_gamma.h"
#include "core/luminance.h"
#include "core/order_statistics.h"

namespace {

constexpr uint32_t k_table_size = 10000;  // display range 0..9999

struct Gamma_table {
  bool built = false;
  float gamma = 0.f;  // as requested, to compare with the next request
  uint8_t entry[k_table_size];

  void build(float g) {
    for (uint32_t i = 0; i < k_table_size; ++i) entry[i] = gamma_table_entry(i, g);
    gamma = g;
    built = true;
  }
  bool holds(float g) const {
    return built && (gamma == g || (std::isnan(gamma) && std::isnan(g)));
  }
};

struct Identity_table {
  uint8_t entry[256];
  Identity_table() {
    for (uint32_t i = 0; i < 256; ++i) entry[i] = uint8_t(i);
  }
};

const uint8_t* planar_table(bool hdr) {
  static Gamma_table gamma_table;
  if (!hdr) {
    static const Identity_table identity;
    return identity.entry;
  }
  const float g = display_gamma();
  if (!gamma_table.holds(g)) gamma_table.build(g);
  return gamma_table.entry;
}

const uint8_t* interleaved_table(bool hdr) {
  if (!hdr) {
    static const Identity_table identity;
    return identity.entry;
  }
  // Built once: thumbnails and the tone-mapping preview keep the gamma of their first use.
  static const std::unique_ptr<Gamma_table> table = [] {
    auto t = std::make_unique<Gamma_table>();
    t->build(display_gamma());
    return t;
  }();
  return table->entry;
}

// Table index of a value: 0 for NaN and values below 0, limit above it, else
// trunc(v + 0.5). Computed from 2v, which is exact in float: floor(2v) + 1 halved is
// trunc(v + 0.5) without the rounding of a float addition, and the form vectorises.
// NaN fails both comparisons and lands on 0.
inline uint32_t table_index(float v, float limit2) {
  float c = v * 2.f;
  c = limit2 < c ? limit2 : c;
  c = c > 0.f ? c : 0.f;
  return (uint32_t(int32_t(c)) + 1) >> 1;
}

// Indexes are computed a block at a time so that the clamp and rounding vectorise (a
// fixed trip count lets -O2's cheap vectoriser take the loop), then looked up.
template <uint64_t stride>
void lookup(const float* in, uint64_t count, float limit, const uint8_t* table, uint8_t* out) {
  const float limit2 = 2.f * limit;
  constexpr uint64_t k_block = 1024;
  uint16_t index[k_block];
  uint64_t start = 0;
  for (; start + k_block <= count; start += k_block) {
    const float* p = in + start;
    for (uint64_t i = 0; i < k_block; ++i) index[i] = uint16_t(table_index(p[i], limit2));
    // Fetch the next block while this one is looked up, so memory and lookups overlap.
    if (start + 2 * k_block <= count)
      for (uint64_t i = 0; i < k_block; i += 16) __builtin_prefetch(p + k_block + i);
    uint8_t* o = out + start * stride;
    for (uint64_t i = 0; i < k_block; ++i) o[i * stride] = table[index[i]];
  }
  for (; start < count; ++start) out[start * stride] = table[table_index(in[start], limit2)];
}

void require_rgb(const Hdr_image& image) {
  if (image.spectrum() < 3)
    throw std::invalid_argument("display conversion: the image needs three channels");
}

}  // namespace

uint8_t gamma_table_entry(uint32_t i, float gamma) {
  if (!(gamma > 0.f) || !std::isfinite(gamma)) gamma = k_default_display_gamma;
  const float v = powf(float(i) / 9999.f, 1.f / gamma) * 255.f + 0.5f;
  // i beyond the table would exceed 255; clamp rather than wrap.
  return v >= 255.f ? uint8_t(255) : uint8_t(v);
}

int compare_luminance(const float* a, const float* b) {
  if (*a < *b) return -1;
  if (*a > *b) return 1;
  return 0;
}

float display_scale(const Hdr_image& image) {
  const uint64_t n = uint64_t(image.width()) * image.height();
  if (n == 0 || image.spectrum() < 3) return float(9999.0 / 1e-12);
  const float *r, *g, *b;
  rgb_planes(image, r, g, b);
  const std::unique_ptr<float[]> v = luminance_from_planes(r, g, b, n);

  // Index of a fraction of n, never below 0 (small images).
  auto rank = [&](double index) {
    const double i = std::trunc(index) - 1;
    return i < 0 ? uint64_t(0) : uint64_t(i);
  };
  // Only these ranks of the sorted luminance are read: select them instead of sorting.
  std::vector<uint64_t> ranks = {rank(0.92 * double(n)), rank(0.97 * double(n)), n - 1};
  for (int p = 0; p <= 100; ++p) ranks.push_back(rank(p * 0.01 * double(n)));
  select_ranks(v.get(), n, ranks);
  auto at = [&](double index) { return v[rank(index)]; };
  uint32_t count = 0;
  float previous = at(0 * 0.01 * double(n));
  for (int p = 1; p <= 100; ++p) {
    const float current = at(p * 0.01 * double(n));
    if (current > previous) ++count;
    previous = current;
  }
  float reference;
  if (count >= 91)
    reference = at(0.92 * double(n));
  else if (count >= 51)
    reference = at(0.97 * double(n));
  else
    reference = v[n - 1];
  // The sort puts NaN first, so a NaN reference means most pixels are NaN: expose by the
  // largest value instead (0 when there is none) rather than turn the whole image to NaN.
  if (std::isnan(reference)) reference = std::isnan(v[n - 1]) ? 0.f : v[n - 1];
  return float(9999.0 / (double(reference) + 1e-12));
}

float mean_exposure_scale(const Hdr_image& image) {
  const uint64_t n = uint64_t(image.width()) * image.height();
  double mean = 0;
  if (n > 0 && image.spectrum() >= 3) {
    const float *r, *g, *b;
    rgb_planes(image, r, g, b);
    // In double: a float sum stops growing once it reaches 2^24 times the values. NaN
    // pixels are left out, or a single one would make the factor NaN.
    double sum = 0;
    uint64_t counted = 0;
    for (uint64_t i = 0; i < n; ++i) {
      const double l = k_lum_r * r[i] + k_lum_g * g[i] + k_lum_b * b[i];
      if (std::isnan(l)) continue;
      sum += l;
      ++counted;
    }
    mean = counted ? sum / double(counted) : 0.0;
  }
  return float(127.5 / (mean + 1e-6));
}

void to_display_rgb8(const Hdr_image& image, Rgb8_image& out, uint32_t type) {
  if (image.is_empty()) {
    out.assign();
    return;
  }
  require_rgb(image);
  if (out.width() != image.width() || out.height() != image.height() ||
      out.depth() != image.depth() || out.spectrum() != 3)
    out.assign(image.width(), image.height(), image.depth(), 3);
  const bool hdr = is_hdr_type(type);
  const uint8_t* table = planar_table(hdr);
  const float limit = hdr ? k_display_max : 255.f;
  lookup<1>(image.data(), image.plane_size() * 3, limit, table, out.data());
}

void to_display_rgb8_interleaved(uint8_t* out, const Hdr_image& image, uint32_t type) {
  if (image.is_empty()) return;
  require_rgb(image);
  const bool hdr = is_hdr_type(type);
  const uint8_t* table = interleaved_table(hdr);
  const float limit = hdr ? k_display_max : 255.f;
  const uint64_t n = image.plane_size();
  for (uint64_t c = 0; c < 3; ++c) lookup<3>(image.data() + c * n, n, limit, table, out + c);
}

// The pseudo-colour ramp and the mapping of log luminance onto it.
#include "core/pseudo_color.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/color_space.h"
#include "core/hdr_image.h"
#include "core/luminance.h"

namespace {

// One stretch of the ramp: entries first..last, one channel moving linearly in steps
// of 5 (k = base + slope * i, in 1/255), the other two fixed.
struct Ramp_range {
  int first, last;
  int channel, base, slope;
  int fixed[3];  // values of the channels that do not move
};

constexpr Ramp_range k_ranges[] = {
    {0, 40, 0, 251, -5, {0, 0, 255}},  // magenta towards blue
    {41, 50, 0, 252, -5, {0, 0, 255}},
    {51, 101, 1, -252, 5, {0, 0, 255}},   // blue towards cyan
    {102, 152, 2, 763, -5, {0, 255, 0}},  // cyan towards green
    {153, 162, 0, -763, 5, {0, 255, 0}},  // green towards yellow
    {163, 203, 0, -764, 5, {0, 255, 0}},
    {204, 224, 1, 1274, -5, {255, 0, 0}},  // yellow towards red
    {225, 255, 1, 1275, -5, {255, 0, 0}},
};

Pseudo_color_table build_table() {
  Pseudo_color_table table{};
  for (const Ramp_range& r : k_ranges)
    for (int i = r.first; i <= r.last; ++i)
      for (int c = 0; c < 3; ++c) {
        const int k = c == r.channel ? r.base + r.slope * i : r.fixed[c];
        table[i][c] = float(k) / 255.f;
      }
  return table;
}

}  // namespace

const Pseudo_color_table& pseudo_color_table() {
  static const Pseudo_color_table table = build_table();
  return table;
}

void pseudo_color_from_rgb(const Hdr_image& source, Hdr_image& destination) {
  const uint64_t n = source.plane_size();
  if (n == 0) return;
  // Linearised copies of the display values.
  std::unique_ptr<float[]> copy(new float[3 * n]);
  const float* in = source.data();
  std::copy(in, in + 3 * n, copy.get());
  pow_planes(copy.get(), copy.get() + n, copy.get() + 2 * n, n, 2.2f);
  const std::unique_ptr<float[]> lum =
      luminance_from_planes(copy.get(), copy.get() + n, copy.get() + 2 * n, n);
  copy.reset();

  // The ends of the ramp come from the finite luminances only: a NaN or an overflow to
  // infinity would otherwise spoil the scale of every pixel.
  float smallest = 0.f, largest = 0.f;
  bool any = false;
  for (uint64_t i = 0; i < n; ++i) {
    const float v = lum[i];
    if (!std::isfinite(v)) continue;
    if (!any) {
      smallest = largest = v;
      any = true;
    } else {
      smallest = std::min(smallest, v);
      largest = std::max(largest, v);
    }
  }
  const float lo = float(std::log(double(smallest) + 0.000001));
  const float hi = float(std::log(double(largest) + 0.000001));
  const double range = (double(hi) - double(lo)) + 0.000001;

  const Pseudo_color_table& table = pseudo_color_table();
  float *r, *g, *b;
  rgb_planes(destination, r, g, b);
  for (uint64_t i = 0; i < n; ++i) {
    // hi = ln(largest + 1e-6) lies only ln(1 + 1e-6 / L) above the brightest log, less
    // than logf's rounding when L is large; over a uniform image's range of 1e-6 that
    // rounding alone would move every pixel up the ramp. No pixel lies above the top.
    double l = logf(lum[i]);
    if (l > double(hi)) l = hi;
    double index = std::trunc((l - double(lo)) / range * 255.0 + 0.5);
    // Clamped in double before the conversion; black (log -inf) lands on 0, NaN too.
    if (!(index > 0.0)) index = 0.0;
    if (index > 255.0) index = 255.0;
    const auto& entry = table[size_t(index)];
    r[i] = entry[0] * 255.f;
    g[i] = entry[1] * 255.f;
    b[i] = entry[2] * 255.f;
  }
}

#include "tests/support/exposure_series.h"

#include <algorithm>

namespace {

uint8_t quantise(float x, const float* f_inv) {
  if (!(x > 0.f)) return 0;
  if (x >= f_inv[255]) return 255;
  const float* above = std::upper_bound(f_inv, f_inv + 256, x);  // first level beyond x
  const int z = int(above - f_inv) - 1;
  const float fraction = (x - f_inv[z]) / (f_inv[z + 1] - f_inv[z]);
  return uint8_t(fraction < 0.5f ? z : z + 1);
}

void link_planes(Exposure_series& series) {
  series.planes.clear();
  for (auto& p : series.pixels) series.planes.push_back({p.data(), series.width, series.height, 3});
}

}  // namespace

void render_exposures(Exposure_series& series, const std::vector<float>& radiance, uint32_t width,
                      uint32_t height, const std::vector<float>& times, const float* f_inv) {
  series.width = width;
  series.height = height;
  series.times = times;
  series.pixels.assign(times.size(), std::vector<uint8_t>(radiance.size()));
  for (size_t m = 0; m < times.size(); ++m)
    for (size_t i = 0; i < radiance.size(); ++i)
      series.pixels[m][i] = quantise(radiance[i] * times[m], f_inv);
  link_planes(series);
}

void make_series(Exposure_series& series, uint32_t width, uint32_t height,
                 const std::vector<std::vector<uint8_t>>& levels, const std::vector<float>& times) {
  series.width = width;
  series.height = height;
  series.times = times;
  series.pixels = levels;
  link_planes(series);
}

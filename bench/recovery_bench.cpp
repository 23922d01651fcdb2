// Recovering a response from five 12-megapixel exposures of a scene of uniform tiles:
// patch sampling in every exposure and channel, and the fits of degrees 1 to 5.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "hdr/response_recovery.h"

namespace {

constexpr uint32_t k_width = 4000, k_height = 3000;
constexpr int k_exposures = 5;
constexpr uint32_t k_tile = 24;

struct Series {
  std::vector<std::vector<uint8_t>> pixels;
  std::vector<Exposure_planes> planes;
  std::vector<float> times;
  Series() {
    const uint64_t plane = uint64_t(k_width) * k_height;
    for (int m = 0; m < k_exposures; ++m) {
      times.push_back(float(1 << m));
      pixels.emplace_back(plane * 3);
      for (int c = 0; c < 3; ++c)
        for (uint32_t y = 0; y < k_height; ++y)
          for (uint32_t x = 0; x < k_width; ++x) {
            // Tiles of radiance 10^-2.5 .. 1 seen through a gamma 2.2 camera.
            const uint32_t h = ((x / k_tile) * 73856093u) ^ ((y / k_tile) * 19349663u);
            const double radiance = std::pow(10.0, -2.5 * double(h % 1000) / 1000.0);
            const double level = 255.0 * std::pow(std::min(1.0, radiance * times[m]), 1 / 2.2);
            pixels.back()[c * plane + uint64_t(y) * k_width + x] = uint8_t(level + 0.5);
          }
    }
    for (auto& p : pixels) planes.push_back({p.data(), k_width, k_height, 3});
  }
};

void BM_recover_response(benchmark::State& state) {
  static const Series s;
  float coefficients[3][6] = {};
  Response_table f[3], f_inv[3], f_pri[3];
  Silent_progress progress;
  uint32_t seed = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(recover_response(s.planes, s.times.data(), k_exposures, coefficients,
                                              f, f_inv, f_pri, progress, seed++));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_recover_response)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

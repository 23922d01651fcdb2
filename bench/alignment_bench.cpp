// Aligning three 12-megapixel exposures shifted by a few pixels against each other: the
// region search, the 81 x 81 shift search per pair and the translations.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "hdr/exposure_alignment.h"

namespace {

constexpr uint32_t k_width = 4000, k_height = 3000;
constexpr int k_offsets[3][2] = {{0, 0}, {3, -2}, {-5, 4}};

uint8_t texture(int64_t x, int64_t y) {
  const uint32_t h = (uint32_t(x) * 73856093u) ^ (uint32_t(y) * 19349663u);
  return uint8_t(20 + (h * 2654435761u >> 24) % 200);
}

struct Series {
  std::vector<std::vector<uint8_t>> pixels;
  Series() {
    const uint64_t plane = uint64_t(k_width) * k_height;
    for (const auto& o : k_offsets) {
      pixels.emplace_back(plane * 3);
      for (int c = 0; c < 3; ++c)
        for (uint32_t y = 0; y < k_height; ++y)
          for (uint32_t x = 0; x < k_width; ++x)
            pixels.back()[c * plane + uint64_t(y) * k_width + x] =
                texture(x + 8 + o[0], y + 8 + o[1]);
    }
  }
};

void BM_align_exposures(benchmark::State& state) {
  static const Series original;
  std::vector<std::vector<uint8_t>> pixels;
  std::vector<Exposure_planes> planes;
  Silent_progress progress;
  for (auto _ : state) {
    state.PauseTiming();
    pixels = original.pixels;  // alignment rewrites the exposures
    planes.clear();
    for (auto& p : pixels) planes.push_back({p.data(), k_width, k_height, 3});
    state.ResumeTiming();
    benchmark::DoNotOptimize(align_exposures_seeded(planes, progress, 1));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_align_exposures)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

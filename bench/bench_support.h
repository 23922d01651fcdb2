// What the benchmarks share: the peak resident memory of one run, the settings of the
// long runs compared with a peer, and a photograph-like test picture.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// The kernel's high-water mark is reset before a run and read after it, so each figure
// covers that run alone.

/// Resets the process's peak resident set size (Linux: "5" into /proc/self/clear_refs).
inline void reset_peak_memory() { std::ofstream("/proc/self/clear_refs") << "5"; }

/// The peak resident set size since the last reset, in megabytes (0 when unknown).
inline double peak_memory_mb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kb = 0;
      status >> kb;
      return kb / 1024.0;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

/// For runs of seconds, as BENCHMARK(...)->Apply(long_runs): once per repetition, five
/// repetitions, medians (and spread) only, in wall-clock milliseconds, so thread counts
/// compare fairly.
inline void long_runs(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true)
      ->UseRealTime();
}

/// A photograph-like picture (interleaved RGB): smooth light with texture and sensor-like
/// noise, so a JPEG of it is of a camera's size and decodes at a camera file's cost.
inline std::vector<uint8_t> photo_like_rgb(uint32_t w, uint32_t h) {
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  uint32_t seed = 12345;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = int(seed >> 28) - 8;
      const int base =
          int(255.0 * x / w * 0.6 + 255.0 * y / h * 0.3) + ((x / 40 + y / 40) % 2) * 20;
      uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
      p[0] = uint8_t(std::clamp(base + noise, 0, 255));
      p[1] = uint8_t(std::clamp(base * 3 / 4 + noise, 0, 255));
      p[2] = uint8_t(std::clamp(255 - base / 2 + noise, 0, 255));
    }
  return rgb;
}

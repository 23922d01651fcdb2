// Peak resident memory of one benchmarked run: the kernel's high-water mark is reset before
// the run and read after it, so each figure covers that run alone.
#pragma once
#include <fstream>
#include <string>

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

// Loading a camera-sized JPEG (6000 x 4000 and 3000 x 2000) into the float image, beside
// OpenCV's decode of the same file with its conversion to float (cv::imread, then
// convertTo(CV_32F)), one OpenCV thread. Each figure is best read as the ratio of the two
// medians of one run: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/jpeg_thumb.h"

namespace {

// A photograph-like picture: smooth light with texture and sensor-like noise, so the
// file is of a camera's size and decodes at a camera file's cost.
std::vector<uint8_t> picture(uint32_t w, uint32_t h) {
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

struct Input {
  std::string path;
  Input(uint32_t w, uint32_t h) {
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltrum_jpeg_bench_" +
           std::to_string(getpid()) + "_" + std::to_string(w) + ".jpg";
    const std::vector<uint8_t> rgb = picture(w, h);
    write_jpeg(path, rgb.data(), w, h);  // quality 90, as a camera's fine setting
  }
  ~Input() { std::remove(path.c_str()); }
};

const std::string& input(int64_t megapixels) {
  static const Input six(3000, 2000), twenty_four(6000, 4000);
  return megapixels == 6 ? six.path : twenty_four.path;
}

void BM_jpeg_load_image(benchmark::State& state) {
  const std::string& path = input(state.range(0));
  for (auto _ : state) {
    Hdr_image image;
    load_image(image, path, k_type_jpeg);
    benchmark::DoNotOptimize(image.data());
  }
}

void BM_jpeg_opencv_imread_to_float(benchmark::State& state) {
  const std::string& path = input(state.range(0));
  cv::setNumThreads(1);
  for (auto _ : state) {
    const cv::Mat bgr = cv::imread(path, cv::IMREAD_COLOR);
    cv::Mat f;
    bgr.convertTo(f, CV_32F);
    benchmark::DoNotOptimize(f.data);
  }
}

}  // namespace

BENCHMARK(BM_jpeg_load_image)->Arg(6)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_jpeg_opencv_imread_to_float)->Arg(6)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

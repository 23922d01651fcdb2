// Loading a camera-sized JPEG (6000 x 4000 and 3000 x 2000) into the float image, beside
// OpenCV's decode of the same file with its conversion to float (cv::imread, then
// convertTo(CV_32F)), one OpenCV thread. Each figure is best read as the ratio of the two
// medians of one run: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include "bench/bench_support.h"

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

struct Input {
  std::string path;
  Input(uint32_t w, uint32_t h) {
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltrum_jpeg_bench_" +
           std::to_string(getpid()) + "_" + std::to_string(w) + ".jpg";
    const std::vector<uint8_t> rgb = photo_like_rgb(w, h);
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

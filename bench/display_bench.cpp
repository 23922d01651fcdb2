// Display conversion against a plain copy of the same planes to bytes, and the B-spline
// resize against OpenCV's cubic resize, on a 24-megapixel image.
#include <benchmark/benchmark.h>

#include <opencv2/imgproc.hpp>

#include <cstdint>
#include <memory>
#include <random>

#include "core/bspline_resample.h"
#include "core/display_convert.h"
#include "core/mat_convert.h"

namespace {

constexpr uint32_t k_width = 6000, k_height = 4000;  // 24 megapixels

const Hdr_image& hdr_input() {
  static const std::unique_ptr<Hdr_image> image = [] {
    auto im = std::make_unique<Hdr_image>(k_width, k_height, 1, 3, 0.f);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> dist(0.f, 12000.f);
    float* p = im->data();
    const uint64_t n = im->size();
    // A few thousand random values repeated: quick to create, still defeats prediction.
    float pattern[4099];
    for (float& v : pattern) v = dist(rng);
    for (uint64_t i = 0; i < n; ++i) p[i] = pattern[i % 4099];
    im->type = k_type_exr;
    return im;
  }();
  return *image;
}

void BM_plain_copy_to_bytes(benchmark::State& state) {
  const Hdr_image& image = hdr_input();
  Rgb8_image out(image.width(), image.height(), 1, 3);
  const uint64_t n = image.size();
  for (auto _ : state) {
    const float* in = image.data();
    uint8_t* o = out.data();
    for (uint64_t i = 0; i < n; ++i) o[i] = uint8_t(int(in[i]));
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n * sizeof(float)));
}
BENCHMARK(BM_plain_copy_to_bytes)->Unit(benchmark::kMillisecond);

void BM_to_display_rgb8(benchmark::State& state) {
  const Hdr_image& image = hdr_input();
  Rgb8_image out(image.width(), image.height(), 1, 3);
  for (auto _ : state) {
    to_display_rgb8(image, out, k_type_exr);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.size() * sizeof(float)));
}
BENCHMARK(BM_to_display_rgb8)->Unit(benchmark::kMillisecond);

void BM_to_display_rgb8_interleaved(benchmark::State& state) {
  const Hdr_image& image = hdr_input();
  std::unique_ptr<uint8_t[]> out(new uint8_t[image.size()]);
  for (auto _ : state) {
    to_display_rgb8_interleaved(out.get(), image, k_type_exr);
    benchmark::DoNotOptimize(out.get());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_to_display_rgb8_interleaved)->Unit(benchmark::kMillisecond);

constexpr uint32_t k_target_width = 1920, k_target_height = 1280;

void BM_bspline_resize_to_1920(benchmark::State& state) {
  const Hdr_image& image = hdr_input();
  for (auto _ : state) {
    cimg_library::CImg<float> out = resized_bspline(image, k_target_width, k_target_height);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_bspline_resize_to_1920)->Unit(benchmark::kMillisecond);

// The same pixels in OpenCV's layout; threads = 0 is OpenCV's default thread pool, 1 a
// single thread like ours.
void BM_cv_resize_cubic_to_1920(benchmark::State& state) {
  static const cv::Mat mat = image_to_mat(hdr_input());
  const int threads_before = cv::getNumThreads();
  if (state.range(0) > 0) cv::setNumThreads(int(state.range(0)));
  for (auto _ : state) {
    cv::Mat out;
    cv::resize(mat, out, cv::Size(k_target_width, k_target_height), 0, 0, cv::INTER_CUBIC);
    benchmark::DoNotOptimize(out.data);
  }
  cv::setNumThreads(threads_before);
}
BENCHMARK(BM_cv_resize_cubic_to_1920)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The tone-mapping operators on a 24-megapixel HDR scene, single-threaded, beside OpenCV's
// Reinhard tonemapper from the photo module.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "hdr/tonemap_asymmetric.h"
#include "hdr/tonemap_photographic.h"
#include "hdr/tonemap_photoreceptor.h"
#ifdef VELTRUM_HAVE_OPENCV_PHOTO
#include <opencv2/photo.hpp>
#endif

namespace {

constexpr int32_t k_width = 6000, k_height = 4000;

// Interleaved RGB: a sky falling off over two decades, a dim ground, a sun and grain,
// about nine orders of magnitude in all.
const std::vector<float>& scene() {
  static const std::vector<float> data = [] {
    std::vector<float> d(size_t(k_width) * k_height * 3);
    const double cx = 0.7 * k_width, cy = 0.2 * k_height, sun = 0.03 * k_height;
    const double sky_step = std::pow(100.0, -1.0 / (0.5 * k_height));
    for (int32_t y = 0; y < k_height; ++y) {
      float* p = d.data() + size_t(y) * k_width * 3;
      const double sky = 20.0 * std::pow(sky_step, y);
      for (int32_t x = 0; x < k_width; ++x, p += 3) {
        const uint32_t h = (uint32_t(x) * 73856093u) ^ (uint32_t(y) * 19349663u);
        const double grain = 0.8 + 0.4 * double(h % 1024) / 1024.0;
        double base = y < k_height / 2 ? sky : 1e-3 + 0.05 * double(x) / k_width;
        const double dx = x - cx, dy = y - cy;
        if (dx * dx + dy * dy < sun * sun) base = 2e5;
        p[0] = float(base * 0.9 * grain);
        p[1] = float(base * grain);
        p[2] = float(base * 1.1 * grain);
      }
    }
    return d;
  }();
  return data;
}

cv::Mat scene_bgr() {
  static const cv::Mat m = [] {
    cv::Mat rgb(k_height, k_width, CV_32FC3, const_cast<float*>(scene().data())), bgr;
    cv::cvtColor(rgb, bgr, cv::COLOR_RGB2BGR);
    return bgr;
  }();
  return m;
}

struct Work_rows {
  std::vector<float> data = scene();
  std::vector<float*> rows;
  Work_rows() {
    for (int32_t y = 0; y < k_height; ++y) rows.push_back(data.data() + size_t(y) * k_width * 3);
  }
  void reset() { std::copy(scene().begin(), scene().end(), data.begin()); }
};

void run_photographic(benchmark::State& state, uint32_t mode) {
  cv::setNumThreads(1);
  Work_rows w;
  for (auto _ : state) {
    state.PauseTiming();
    w.reset();
    state.ResumeTiming();
    tonemap_photographic(w.rows.data(), k_width, k_height, 2.2f, mode);
    benchmark::DoNotOptimize(w.data.data());
  }
}

void BM_photographic_global(benchmark::State& state) {
  run_photographic(state, k_photographic_global);
}
void BM_photographic_local(benchmark::State& state) {
  run_photographic(state, k_photographic_local);
}

void BM_interactive(benchmark::State& state) {
  cv::setNumThreads(1);
  Work_rows w;
  for (auto _ : state) {
    state.PauseTiming();
    w.reset();
    state.ResumeTiming();
    tonemap_photoreceptor(w.rows.data(), k_width, k_height, 0.5f, 0.f, 0.5f, 2.2f, false);
    benchmark::DoNotOptimize(w.data.data());
  }
}

void BM_asymmetric(benchmark::State& state) {
  cv::setNumThreads(1);
  const cv::Mat in = scene_bgr();
  cv::Mat out;
  for (auto _ : state) {
    tonemap_asymmetric(out, in, 2.2f);
    benchmark::DoNotOptimize(out.data);
  }
}

#ifdef VELTRUM_HAVE_OPENCV_PHOTO
void BM_opencv_reinhard(benchmark::State& state) {
  cv::setNumThreads(1);
  const cv::Mat in = scene_bgr();
  cv::Ptr<cv::TonemapReinhard> tonemapper = cv::createTonemapReinhard(2.2f);
  cv::Mat out;
  for (auto _ : state) {
    tonemapper->process(in, out);
    benchmark::DoNotOptimize(out.data);
  }
}
BENCHMARK(BM_opencv_reinhard)->Unit(benchmark::kMillisecond)->Iterations(2);
#endif

BENCHMARK(BM_photographic_global)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_photographic_local)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_interactive)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_asymmetric)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();

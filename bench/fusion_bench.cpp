// Exposure fusion of three 3-megapixel 8-bit exposures (2048 x 1536), single-threaded,
// with the pyramid depth the dialog picks, beside OpenCV's Mertens fusion from the photo
// module.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

#include "hdr/exposure_fusion.h"
#include "hdr/progress.h"
#ifdef VELTRUM_HAVE_OPENCV_PHOTO
#include <opencv2/photo.hpp>
#endif

namespace {

constexpr int k_width = 2048, k_height = 1536;

// A scene over three decades (a bright sky, a dim ground, grain) exposed at 1/8, 1 and 8.
const std::vector<cv::Mat>& series() {
  static const std::vector<cv::Mat> s = [] {
    std::vector<cv::Mat> out;
    for (const double t : {0.125, 1.0, 8.0}) {
      cv::Mat m(k_height, k_width, CV_8UC3);
      for (int y = 0; y < k_height; ++y) {
        cv::Vec3b* row = m.ptr<cv::Vec3b>(y);
        const double sky = y < k_height / 2 ? 4.0 * std::pow(0.1, 2.0 * y / k_height) : 0.0;
        for (int x = 0; x < k_width; ++x) {
          const uint32_t h = (uint32_t(x) * 73856093u) ^ (uint32_t(y) * 19349663u);
          const double grain = 0.8 + 0.4 * double(h % 1024) / 1024.0;
          const double radiance = (sky > 0 ? sky : 0.004 + 0.05 * x / k_width) * grain;
          for (int c = 0; c < 3; ++c) {
            const double v = std::pow(std::fmin(radiance * t * (0.9 + 0.1 * c), 1.0), 1 / 2.2);
            row[x][c] = cv::saturate_cast<uint8_t>(255.0 * v);
          }
        }
      }
      out.push_back(m);
    }
    return out;
  }();
  return s;
}

void BM_exposure_fusion(benchmark::State& state) {
  cv::setNumThreads(1);
  Silent_progress progress;
  const int levels = fusion_levels(k_height, k_width);
  for (auto _ : state) {
    cv::Mat fused = exposure_fusion(series(), {}, levels, progress);
    benchmark::DoNotOptimize(fused.data);
  }
  state.counters["megapixels"] = double(k_width) * k_height * 1e-6 * double(series().size());
}

#ifdef VELTRUM_HAVE_OPENCV_PHOTO
void BM_opencv_mertens(benchmark::State& state) {
  cv::setNumThreads(1);
  cv::Ptr<cv::MergeMertens> merge = cv::createMergeMertens();
  for (auto _ : state) {
    cv::Mat fused;
    merge->process(series(), fused);
    benchmark::DoNotOptimize(fused.data);
  }
}
BENCHMARK(BM_opencv_mertens)->Unit(benchmark::kMillisecond)->Iterations(2);
#endif

BENCHMARK(BM_exposure_fusion)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();

// Exposure fusion of three 25-megapixel 8-bit exposures (6144 x 4096) with the pyramid
// depth the dialog picks, beside OpenCV's Mertens fusion with the same weights
// (contrast, saturation and well-exposedness exponents all 1). Both run with the same
// OpenCV thread count (the benchmark's argument); five repetitions, medians reported,
// with the peak resident memory of each run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

#include "bench/bench_support.h"
#include "hdr/exposure_fusion.h"
#include "hdr/progress.h"
#ifdef VELTRUM_HAVE_OPENCV_PHOTO
#include <opencv2/photo.hpp>
#endif

namespace {

constexpr int k_width = 6144, k_height = 4096;

// A scene over three decades (a bright sky, a dim ground, grain) exposed at 1/8, 1 and 8.
const std::vector<cv::Mat>& series() {
  static const std::vector<cv::Mat> s = [] {
    std::vector<cv::Mat> out;
    for (const double t : {0.125, 1.0, 8.0}) {
      cv::Mat m(k_height, k_width, CV_8UC3);
      cv::parallel_for_(cv::Range(0, k_height), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y) {
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
      });
      out.push_back(m);
    }
    return out;
  }();
  return s;
}

template <class Run>
void measure(benchmark::State& state, Run run) {
  series();  // generated outside the timing
  cv::setNumThreads(int(state.range(0)));
  double peak = 0;
  for (auto _ : state) {
    reset_peak_memory();
    run();
    peak = peak_memory_mb();
  }
  state.counters["peak_MB"] = peak;
  state.counters["megapixels"] = double(k_width) * k_height * 1e-6 * double(series().size());
}

void BM_exposure_fusion(benchmark::State& state) {
  Silent_progress progress;
  const int levels = fusion_levels(k_height, k_width);
  measure(state, [&] {
    cv::Mat fused = exposure_fusion(series(), {1.f, 1.f, 1.f}, levels, progress);
    benchmark::DoNotOptimize(fused.data);
  });
}

#ifdef VELTRUM_HAVE_OPENCV_PHOTO
void BM_opencv_mertens_111(benchmark::State& state) {
  cv::Ptr<cv::MergeMertens> merge = cv::createMergeMertens(1.f, 1.f, 1.f);
  measure(state, [&] {
    cv::Mat fused;
    merge->process(series(), fused);
    benchmark::DoNotOptimize(fused.data);
  });
}
BENCHMARK(BM_opencv_mertens_111)->ArgName("threads")->Arg(1)->Arg(8)->Apply(long_runs);
#endif

BENCHMARK(BM_exposure_fusion)->ArgName("threads")->Arg(1)->Arg(8)->Apply(long_runs);

}  // namespace

BENCHMARK_MAIN();

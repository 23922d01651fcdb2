// Merging five 24-megapixel exposures with the sRGB response, beside OpenCV's Debevec
// merge on the same data (one thread) and beside one read-and-accumulate pass over the
// same planes, the memory-bandwidth floor of any merge.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "hdr/hdr_assembly.h"
#include "hdr/merge_kernel.h"

#ifdef VELTRUM_HAVE_OPENCV_PHOTO
#include <opencv2/core.hpp>
#include <opencv2/photo.hpp>
#endif

namespace {

constexpr uint32_t k_width = 6000, k_height = 4000;  // 24 megapixels
constexpr int k_exposures = 5;
constexpr int k_steps_per_stop = 64;

// Five exposures two stops apart of a scene spanning 16 stops, rendered through the sRGB
// inverse response. The scene's log radiance is a column ramp plus a row wave, so the
// levels come from one table look-up per value and the setup takes about a second.
struct Series {
  std::vector<std::vector<uint8_t>> pixels;
  std::vector<Exposure_planes> planes;
  std::vector<float> times;

  Series() {
    const Fixed_responses responses = make_fixed_responses();
    const int span = 32 * k_steps_per_stop;  // log2(E t) from -20 to +12 stops
    std::vector<uint8_t> level(span);
    for (int i = 0; i < span; ++i) {
      const double x = std::exp2(double(i) / k_steps_per_stop - 20);
      const float* f = responses.f_inv_srgb.data();
      level[i] = uint8_t(std::min<ptrdiff_t>(255, std::lower_bound(f, f + 256, float(x)) - f));
    }
    std::vector<int> column(k_width), row(k_height);
    for (uint32_t x = 0; x < k_width; ++x) column[x] = int(16.0 * x / k_width * k_steps_per_stop);
    for (uint32_t y = 0; y < k_height; ++y)
      row[y] = int(0.5 * std::sin(y * 0.01) * k_steps_per_stop);
    const uint64_t plane = uint64_t(k_width) * k_height;
    for (int m = 0; m < k_exposures; ++m) {
      times.push_back(float(1 << (2 * m)));
      pixels.emplace_back(plane * 3);
      for (int c = 0; c < 3; ++c) {
        const int offset = 4 * k_steps_per_stop + 2 * m * k_steps_per_stop - c * 16;  // tint
        uint8_t* out = pixels.back().data() + c * plane;
        for (uint32_t y = 0; y < k_height; ++y) {
          const uint8_t* lut =
              level.data() + std::clamp(offset + row[y], 0, span - 16 * k_steps_per_stop);
          for (uint32_t x = 0; x < k_width; ++x) out[uint64_t(y) * k_width + x] = lut[column[x]];
        }
      }
    }
    for (auto& p : pixels) planes.push_back({p.data(), k_width, k_height, 3});
  }
};

Series& series() {
  static Series s;
  return s;
}

void BM_build_hdr_srgb(benchmark::State& state) {
  Series& s = series();
  auto assembly = std::make_unique<Assembly_state>();
  Assembly_settings settings;
  Silent_progress progress;
  Message_questions questions;  // sRGB asks nothing
  Hdr_image result(k_width, k_height, 1, 3, 0.f);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        build_hdr(*assembly, result, s.planes, s.times, settings, progress, questions));
    benchmark::ClobberMemory();
  }
  state.SetLabel(merge_kernel_name());
}
BENCHMARK(BM_build_hdr_srgb)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Reads every byte of every plane once and adds it into a float result, block by block
// as the merge does, then writes the result once.
void BM_read_accumulate_floor(benchmark::State& state) {
  Series& s = series();
  const uint64_t plane = uint64_t(k_width) * k_height;
  std::vector<float> result(plane * 3);
  constexpr uint64_t block = 1024;
  for (auto _ : state) {
    for (uint64_t first = 0; first < plane; first += block) {
      const uint64_t count = std::min(block, plane - first);
      float sum[3][block] = {};
      for (const auto& e : s.planes)
        for (int c = 0; c < 3; ++c) {
          const uint8_t* in = e.plane(c) + first;
          for (uint64_t i = 0; i < count; ++i) sum[c][i] += float(in[i]);
        }
      for (int c = 0; c < 3; ++c) std::copy(sum[c], sum[c] + count, &result[c * plane + first]);
    }
    benchmark::DoNotOptimize(result.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_read_accumulate_floor)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

#ifdef VELTRUM_HAVE_OPENCV_PHOTO
void BM_opencv_merge_debevec(benchmark::State& state) {
  cv::setNumThreads(1);
  Series& s = series();
  const uint64_t plane = uint64_t(k_width) * k_height;
  std::vector<cv::Mat> images;
  for (const auto& e : s.planes) {
    std::vector<cv::Mat> channels;
    for (int c = 2; c >= 0; --c)  // OpenCV keeps blue first
      channels.emplace_back(int(k_height), int(k_width), CV_8UC1, e.plane(c));
    images.emplace_back();
    cv::merge(channels, images.back());
  }
  const Fixed_responses responses = make_fixed_responses();
  cv::Mat response(256, 1, CV_32FC3);
  for (int z = 0; z < 256; ++z) {
    // Debevec takes the logarithm of the response: keep level 0 finite.
    const float v = z == 0 ? responses.f_inv_srgb[1] * 0.5f : responses.f_inv_srgb[z];
    response.at<cv::Vec3f>(z) = cv::Vec3f(v, v, v);
  }
  cv::Ptr<cv::MergeDebevec> merge = cv::createMergeDebevec();
  cv::Mat hdr;
  for (auto _ : state) {
    merge->process(images, hdr, s.times, response);
    benchmark::DoNotOptimize(hdr.data);
  }
  state.counters["pixels"] = double(plane);
}
BENCHMARK(BM_opencv_merge_debevec)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
#endif

}  // namespace

BENCHMARK_MAIN();

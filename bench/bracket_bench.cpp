// A bracket of five 25-megapixel camera-like JPEGs (6144 x 4096, exposures 1/16 to 16 in
// steps of 2 EV) through the program's own HDR path into an OpenEXR file: decode, align,
// merge (sRGB response) and write, each reported separately as milliseconds of the median
// run, with the peak memory of the loading and of the whole run, and OpenEXR's thread count as the
// argument (0: compression on the caller's thread). Beside it, in the same run, the reading of the
// five exposures alone and OpenCV's decode of the same files (cv::imread, one OpenCV thread):
// compare the medians. The files are generated at start in memory (/dev/shm unless TMPDIR says
// otherwise).
#include <benchmark/benchmark.h>

#include <OpenEXR/ImfThreading.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/exr_write.h"
#include "core/hdr_image.h"
#include "core/image_save.h"
#include "hdr/exposure_alignment.h"
#include "hdr/exposure_load.h"
#include "hdr/hdr_assembly.h"
#include "hdr/progress.h"

namespace {

constexpr uint32_t k_width = 6144, k_height = 4096;
const std::vector<float> k_times{1.f / 16, 0.25f, 1.f, 4.f, 16.f};

std::string scratch(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/dev/shm") + "/veltrum_bracket_" +
         std::to_string(getpid()) + "_" + name;
}

// A sky over a textured ground, through the sRGB curve, at each exposure time.
const std::vector<std::string>& bracket() {
  static const std::vector<std::string> paths = [] {
    std::vector<std::string> out;
    for (size_t m = 0; m < k_times.size(); ++m) {
      Hdr_image img(k_width, k_height, 1, 3, 0.f);
      for (uint32_t y = 0; y < k_height; ++y) {
        const double sky = y < k_height / 2 ? 4.0 * std::pow(0.1, 2.0 * y / k_height) : 0.0;
        for (uint32_t x = 0; x < k_width; ++x) {
          const uint32_t h = (x * 73856093u) ^ (y * 19349663u);
          const double grain = 0.8 + 0.4 * double(h % 1024) / 1024.0;
          const double radiance = (sky > 0 ? sky : 0.004 + 0.05 * x / k_width) * grain;
          for (int c = 0; c < 3; ++c) {
            const double v = std::fmin(radiance * k_times[m] * (0.9 + 0.1 * c), 1.0);
            img(x, y, 0, c) = float(std::floor(255.0 * std::pow(v, 1 / 2.2) + 0.5));
          }
        }
      }
      img.type = k_type_new_ldr;
      out.push_back(scratch(std::to_string(m) + ".jpg"));
      save_image_as(img, out.back(), k_type_jpeg);
    }
    return out;
  }();
  return paths;
}

double ms_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void BM_bracket_to_exr(benchmark::State& state) {
  const std::vector<std::string>& paths = bracket();
  Imf::setGlobalThreadCount(int(state.range(0)));
  const std::string out = scratch("result.exr");
  Silent_progress progress;
  Assembly_state assembly;
  double decode = 0, align = 0, merge = 0, write = 0, load_peak = 0, peak = 0;
  for (auto _ : state) {
    reset_peak_memory();
    auto t = std::chrono::steady_clock::now();
    std::vector<Rgb8_image> images;
    std::vector<Exposure_planes> exposures;
    images.reserve(paths.size());  // as the creation does
    for (const std::string& p : paths) images.push_back(load_exposure(p, k_type_jpeg));
    for (Rgb8_image& img : images) exposures.push_back(exposure_planes_of(img));
    decode = ms_since(t);
    load_peak = peak_memory_mb();

    t = std::chrono::steady_clock::now();
    align_exposures_seeded(exposures, progress, 1);
    align = ms_since(t);

    t = std::chrono::steady_clock::now();
    Hdr_image result(k_width, k_height, 1, 3, 0.f);
    Assembly_settings settings;
    Message_questions questions;  // sRGB asks nothing
    build_hdr(assembly, result, exposures, k_times, settings, progress, questions);
    merge = ms_since(t);

    t = std::chrono::steady_clock::now();
    write_exr(result, out);
    write = ms_since(t);
    peak = peak_memory_mb();
  }
  state.counters["decode_ms"] = decode;
  state.counters["align_ms"] = align;
  state.counters["merge_ms"] = merge;
  state.counters["write_ms"] = write;
  state.counters["load_peak_MB"] = load_peak;
  state.counters["peak_MB"] = peak;
  unlink(out.c_str());
}

// The loading step of the creation alone: the five exposures as the merge's 8-bit planes.
void BM_read_exposures(benchmark::State& state) {
  const std::vector<std::string>& paths = bracket();
  for (auto _ : state) {
    std::vector<Rgb8_image> images;
    images.reserve(paths.size());  // as the creation does
    for (const std::string& p : paths) images.push_back(load_exposure(p, k_type_jpeg));
    benchmark::DoNotOptimize(images.back().data());
  }
}

// The peer: OpenCV's decode of the same five files into 8-bit BGR, on one thread.
void BM_read_exposures_opencv(benchmark::State& state) {
  const std::vector<std::string>& paths = bracket();
  cv::setNumThreads(1);
  for (auto _ : state) {
    std::vector<cv::Mat> images;
    for (const std::string& p : paths) images.push_back(cv::imread(p, cv::IMREAD_COLOR));
    benchmark::DoNotOptimize(images.back().data);
  }
}

BENCHMARK(BM_read_exposures)->Apply(long_runs);
BENCHMARK(BM_read_exposures_opencv)->Apply(long_runs);
BENCHMARK(BM_bracket_to_exr)->ArgName("exr_threads")->Arg(0)->Arg(8)->Apply(long_runs);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const std::string& p : bracket()) unlink(p.c_str());
  return 0;
}

// Writing a 24-megapixel HDR image: our OpenEXR and RGBE writers beside the libraries' own
// encoders of the same planes (OpenEXR's output file; OpenCV's imwrite of .hdr).
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfOutputFile.h>
#include <OpenEXR/ImfThreading.h>
#include <benchmark/benchmark.h>

#include <unistd.h>
#include "bench/bench_support.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <string>

#include "core/exr_write.h"
#include "core/hdr_image.h"
#include "core/mat_convert.h"
#include "core/rgbe_write.h"

namespace {

constexpr uint32_t k_width = 6000, k_height = 4000;  // 24 megapixels

// A photograph-like HDR image: smooth light falloff over four decades with a little
// sensor-like noise, so neither encoder sees trivially compressible data.
const Hdr_image& picture() {
  static const Hdr_image image = [] {
    Hdr_image img(k_width, k_height, 1, 3, 0.f);
    float *r, *g, *b;
    rgb_planes(img, r, g, b);
    uint32_t seed = 12345;
    for (uint32_t y = 0; y < k_height; ++y) {
      const float fy = float(y) / k_height;
      for (uint32_t x = 0; x < k_width; ++x) {
        const float fx = float(x) / k_width;
        const float base = std::exp2(13.f * fx * fy - 3.f);
        seed = seed * 1664525u + 1013904223u;
        const float noise = 1.f + float(seed >> 8) * (0.04f / 16777216.f);
        const uint64_t i = uint64_t(y) * k_width + x;
        r[i] = base * noise;
        g[i] = base * 0.8f * noise;
        b[i] = base * (0.5f + 0.5f * fx);
      }
    }
    img.type = k_type_exr;
    return img;
  }();
  return image;
}

// In memory (/dev/shm) unless TMPDIR says otherwise: the encoders are measured, not the
// disk, whose write-back would make the pairs differ by chance.
std::string out_path(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  const std::string folder = dir && *dir                     ? dir
                             : access("/dev/shm", W_OK) == 0 ? "/dev/shm"
                                                             : "/tmp";
  return folder + "/veltrum_save_bench_" + std::to_string(getpid()) + name;
}

void report_size(benchmark::State& state, const std::string& path) {
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fseek(f, 0, SEEK_END);
    state.counters["MB"] = double(std::ftell(f)) / 1e6;
    std::fclose(f);
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(int64_t(state.iterations()) * k_width * k_height);
}

// The argument is OpenEXR's thread count (0: compression on the caller's thread), the same
// for our writer and the library's own output file.
void BM_exr_write_exr(benchmark::State& state) {
  Imf::setGlobalThreadCount(int(state.range(0)));
  const Hdr_image& img = picture();
  const std::string path = out_path("_ours.exr");
  for (auto _ : state) write_exr(img, path);
  report_size(state, path);
}

void BM_exr_library_output_file(benchmark::State& state) {
  Imf::setGlobalThreadCount(int(state.range(0)));
  const Hdr_image& img = picture();
  const std::string path = out_path("_library.exr");
  const float *r, *g, *b;
  rgb_planes(img, r, g, b);
  for (auto _ : state) {
    Imf::Header header(k_width, k_height, 1.f, Imath::V2f(0.f, 0.f), 1.f, Imf::INCREASING_Y,
                       Imf::ZIP_COMPRESSION);
    for (const char* c : {"R", "G", "B"}) header.channels().insert(c, Imf::Channel(Imf::FLOAT));
    Imf::FrameBuffer frame;
    const size_t xs = sizeof(float), ys = sizeof(float) * k_width;
    frame.insert("R", Imf::Slice(Imf::FLOAT, (char*)r, xs, ys));
    frame.insert("G", Imf::Slice(Imf::FLOAT, (char*)g, xs, ys));
    frame.insert("B", Imf::Slice(Imf::FLOAT, (char*)b, xs, ys));
    Imf::OutputFile file(path.c_str(), header, Imf::globalThreadCount());
    file.setFrameBuffer(frame);
    file.writePixels(k_height);
  }
  report_size(state, path);
}

void BM_rgbe_write_rgbe(benchmark::State& state) {
  const Hdr_image& img = picture();
  const std::string path = out_path("_ours.hdr");
  for (auto _ : state) write_rgbe(img, path);
  report_size(state, path);
}

void BM_rgbe_opencv_imwrite(benchmark::State& state) {
  // The matrix is prepared outside the loop: OpenCV gets its own layout for free, while
  // our writer's time includes interleaving the planes.
  const cv::Mat mat = image_to_mat(picture());
  const std::string path = out_path("_opencv.hdr");
  for (auto _ : state) cv::imwrite(path, mat);
  report_size(state, path);
}

}  // namespace

// Pairs side by side. One ZIP-compressed OpenEXR write takes seconds, an RGBE write about
// half a second.
BENCHMARK(BM_exr_write_exr)->ArgName("threads")->Arg(0)->Arg(8)->Apply(long_runs);
BENCHMARK(BM_exr_library_output_file)->ArgName("threads")->Arg(0)->Arg(8)->Apply(long_runs);
BENCHMARK(BM_rgbe_write_rgbe)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_rgbe_opencv_imwrite)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

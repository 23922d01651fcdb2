// Loading 24-megapixel OpenEXR, float TIFF and RGBE files: our loader beside the bare
// library decode of the same file into a buffer (and OpenCV's Radiance reader for .hdr).
// The inputs are generated into a temporary folder at start.
#include <Imath/half.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfOutputFile.h>
#include <OpenEXR/ImfThreading.h>
#include <benchmark/benchmark.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_load.h"

namespace {

constexpr uint32_t k_width = 6000, k_height = 4000;  // 24 megapixels
constexpr uint64_t k_pixels = uint64_t(k_width) * k_height;

// Interleaved RGB of a photograph-like scene: smooth falloff over four decades with
// sensor-like noise, so no encoder sees trivially compressible data.
const std::vector<float>& scene() {
  static const std::vector<float> rgb = [] {
    std::vector<float> v(k_pixels * 3);
    uint32_t seed = 12345;
    for (uint32_t y = 0; y < k_height; ++y)
      for (uint32_t x = 0; x < k_width; ++x) {
        const float fx = float(x) / k_width, fy = float(y) / k_height;
        const float base = std::exp2(13.f * fx * fy - 3.f);
        seed = seed * 1664525u + 1013904223u;
        const float noise = 1.f + float(seed >> 8) * (0.04f / 16777216.f);
        float* p = &v[3 * (uint64_t(y) * k_width + x)];
        p[0] = base * noise;
        p[1] = base * 0.8f * noise;
        p[2] = base * (0.5f + 0.5f * fx);
      }
    return v;
  }();
  return rgb;
}

struct Inputs {
  std::string dir, exr, tiff, hdr;
  Inputs() {
    const char* tmp = std::getenv("TMPDIR");
    dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltrum_load_bench_" +
          std::to_string(getpid()) + "/";
    if (std::system(("mkdir -p '" + dir + "'").c_str()) != 0) throw std::runtime_error(dir);
    exr = dir + "scene.exr";
    tiff = dir + "scene.tif";
    hdr = dir + "scene.hdr";
    const std::vector<float>& rgb = scene();

    // OpenEXR: HALF samples with ZIP compression, the common camera-HDR layout. Written
    // with worker threads; every decode below runs with the default (none).
    Imf::setGlobalThreadCount(int(std::thread::hardware_concurrency()));
    {
      Imf::Header header{int(k_width), int(k_height)};
      header.compression() = Imf::ZIP_COMPRESSION;
      std::vector<half> halves(rgb.begin(), rgb.end());
      Imf::FrameBuffer fb;
      const char* names[] = {"R", "G", "B"};
      for (int c = 0; c < 3; ++c) {
        header.channels().insert(names[c], Imf::Channel(Imf::HALF));
        fb.insert(names[c], Imf::Slice(Imf::HALF, (char*)(halves.data() + c), 3 * sizeof(half),
                                       3 * sizeof(half) * k_width));
      }
      Imf::OutputFile out(exr.c_str(), header);
      out.setFrameBuffer(fb);
      out.writePixels(int(k_height));
    }
    Imf::setGlobalThreadCount(0);

    // TIFF: uncompressed 32-bit float RGB in libtiff's default strips.
    {
      TIFF* t = TIFFOpen(tiff.c_str(), "w");
      if (!t) throw std::runtime_error(tiff);
      TIFFSetField(t, TIFFTAG_IMAGEWIDTH, k_width);
      TIFFSetField(t, TIFFTAG_IMAGELENGTH, k_height);
      TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
      TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 32);
      TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
      TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
      TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
      TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
      TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
      for (uint32_t y = 0; y < k_height; ++y)
        TIFFWriteScanline(t, (void*)(rgb.data() + 3 * uint64_t(y) * k_width), y, 0);
      TIFFClose(t);
    }

    // RGBE: run-length encoded by OpenCV's own writer (BGR order in the matrix).
    {
      cv::Mat rgb_mat(int(k_height), int(k_width), CV_32FC3, (void*)rgb.data()), bgr;
      cv::cvtColor(rgb_mat, bgr, cv::COLOR_RGB2BGR);
      if (!cv::imwrite(hdr, bgr)) throw std::runtime_error(hdr);
    }
  }
  ~Inputs() {
    std::remove(exr.c_str());
    std::remove(tiff.c_str());
    std::remove(hdr.c_str());
    rmdir(dir.c_str());
  }
};

const Inputs& inputs() {
  static const Inputs in;
  return in;
}

void load_with_veltrum(benchmark::State& state, const std::string& path, uint32_t type) {
  for (auto _ : state) {
    Hdr_image img;
    load_image(img, path, type);
    benchmark::DoNotOptimize(img.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations() * k_pixels));
}

void BM_exr_load_image(benchmark::State& state) {
  load_with_veltrum(state, inputs().exr, k_type_exr);
}

// The library alone: the same three FLOAT slices into a freshly allocated buffer.
void BM_exr_library_decode(benchmark::State& state) {
  const std::string& path = inputs().exr;
  for (auto _ : state) {
    std::unique_ptr<float[]> buf(new float[3 * k_pixels]);
    Imf::InputFile file(path.c_str(), Imf::globalThreadCount());
    const Imath::Box2i dw = file.header().dataWindow();
    const int w = dw.max.x - dw.min.x + 1;
    Imf::FrameBuffer fb;
    const char* names[] = {"R", "G", "B"};
    for (int c = 0; c < 3; ++c)
      fb.insert(names[c], Imf::Slice(Imf::FLOAT, (char*)(buf.get() + c * k_pixels), 4, 4 * w));
    file.setFrameBuffer(fb);
    file.readPixels(dw.min.y, dw.max.y);
    benchmark::DoNotOptimize(buf.get());
  }
  state.SetItemsProcessed(int64_t(state.iterations() * k_pixels));
}

void BM_tiff_float_load_image(benchmark::State& state) {
  load_with_veltrum(state, inputs().tiff, k_type_tiff_float);
}

// The library alone: every strip decoded into one freshly allocated interleaved buffer.
void BM_tiff_float_library_decode(benchmark::State& state) {
  const std::string& path = inputs().tiff;
  for (auto _ : state) {
    TIFF* t = TIFFOpen(path.c_str(), "r");
    const tmsize_t strip = TIFFStripSize(t);
    const uint32_t strips = TIFFNumberOfStrips(t);
    std::unique_ptr<float[]> buf(new float[3 * k_pixels]);
    char* out = reinterpret_cast<char*>(buf.get());
    const tmsize_t total = tmsize_t(3 * k_pixels * sizeof(float));
    tmsize_t at = 0;
    for (uint32_t s = 0; s < strips; ++s) {
      const tmsize_t n = TIFFReadEncodedStrip(t, s, out + at, std::min(strip, total - at));
      if (n < 0) break;
      at += n;
    }
    TIFFClose(t);
    benchmark::DoNotOptimize(buf.get());
  }
  state.SetItemsProcessed(int64_t(state.iterations() * k_pixels));
}

void BM_rgbe_load_image(benchmark::State& state) {
  load_with_veltrum(state, inputs().hdr, k_type_rgbe);
}

void BM_rgbe_opencv_imread(benchmark::State& state) {
  const std::string& path = inputs().hdr;
  for (auto _ : state) {
    cv::Mat m = cv::imread(path, cv::IMREAD_UNCHANGED);  // float BGR, no 8-bit conversion
    benchmark::DoNotOptimize(m.data);
  }
  state.SetItemsProcessed(int64_t(state.iterations() * k_pixels));
}

}  // namespace

BENCHMARK(BM_exr_load_image)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_exr_library_decode)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_tiff_float_load_image)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_tiff_float_library_decode)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_rgbe_load_image)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_rgbe_opencv_imread)->Unit(benchmark::kMillisecond)->Iterations(6);

BENCHMARK_MAIN();

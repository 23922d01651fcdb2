// Opening a 24-megapixel OpenEXR file in a viewer up to its first painted frame, beside
// the bare load of the same file: the display path should add at most half the load.
// Needs an X display (run under xvfb-run).
#include <benchmark/benchmark.h>

#include <FL/Fl.H>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include "core/exr_write.h"
#include "core/hdr_image.h"
#include "viewer/image_dialog_drv.h"

namespace {

constexpr uint32_t k_width = 6000, k_height = 4000;  // 24 megapixels

// A smooth scene over five decades with fine texture, written once per run.
const std::string& exr_file() {
  static const std::string path = [] {
    const std::string p = "/tmp/veltrum_viewer_bench_" + std::to_string(::getpid()) + ".exr";
    Hdr_image im(k_width, k_height, 1, 3, 0.f);
    const uint64_t n = im.plane_size();
    float* d = im.data();
    for (uint32_t y = 0; y < k_height; ++y)
      for (uint32_t x = 0; x < k_width; ++x) {
        const float base = std::exp2(16.f * float(x) / k_width - 4.f);
        const float texture = 1.f + 0.25f * float((x * 7 + y * 13) % 17) / 17.f;
        const uint64_t i = uint64_t(y) * k_width + x;
        d[i] = base * texture;
        d[i + n] = base * (0.8f + 0.4f * float(y) / k_height);
        d[i + 2 * n] = base * texture * 0.6f;
      }
    im.type = k_type_exr;
    write_exr(im, p);
    return p;
  }();
  return path;
}

void BM_bare_load(benchmark::State& state) {
  const std::string& path = exr_file();
  for (auto _ : state) {
    Hdr_image image(path);
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_bare_load)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_open_in_viewer_to_first_frame(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no X display");
    return;
  }
  const std::string& path = exr_file();
  for (auto _ : state) {
    auto image = std::make_unique<Hdr_image>(path);
    auto* viewer = new ImageDialogDrv(640, 480, "bench.exr");
    viewer->set_image(std::move(image), path, "bench.exr", "/tmp/", 0, 0);
    viewer->show();
    while (!viewer->shown()) Fl::wait(0.001);
    Fl::flush();  // the first frame
    state.PauseTiming();
    delete viewer;
    Fl::check();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_open_in_viewer_to_first_frame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::remove(exr_file().c_str());
  return 0;
}

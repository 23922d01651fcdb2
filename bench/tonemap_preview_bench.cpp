// The tone-mapping dialog's preview on a 24-megapixel image: the set-up that fits the image
// into the preview box once, and the refresh that a type change or a slider release runs,
// which must stay preview-sized so that it feels instant.
#include <benchmark/benchmark.h>

#include <FL/Fl_Group.H>

#include <cmath>
#include <cstdint>
#include <memory>

#include "core/hdr_image.h"
#include "hdr/tonemap_image.h"
#include "hdr/tonemap_phot_dlg_drv.h"

namespace {

constexpr uint32_t k_width = 6000, k_height = 4000;

// A sky over two decades, a dim ground, a sun and grain: about nine orders of magnitude.
const Hdr_image& scene() {
  static const Hdr_image image = [] {
    Hdr_image im(k_width, k_height, 1, 3, 0.f);
    im.type = k_type_exr;
    const double cx = 0.7 * k_width, cy = 0.2 * k_height, sun = 0.03 * k_height;
    const double sky_step = std::pow(100.0, -1.0 / (0.5 * k_height));
    for (uint32_t y = 0; y < k_height; ++y) {
      const double sky = 20.0 * std::pow(sky_step, y);
      for (uint32_t x = 0; x < k_width; ++x) {
        const uint32_t h = (x * 73856093u) ^ (y * 19349663u);
        const double grain = 0.8 + 0.4 * double(h % 1024) / 1024.0;
        double base = y < k_height / 2 ? sky : 1e-3 + 0.05 * double(x) / k_width;
        const double dx = x - cx, dy = y - cy;
        if (dx * dx + dy * dy < sun * sun) base = 2e5;
        im(x, y, 0, 0) = float(base * 0.9 * grain);
        im(x, y, 0, 1) = float(base * grain);
        im(x, y, 0, 2) = float(base * 1.1 * grain);
      }
    }
    return im;
  }();
  return image;
}

TonemapPhotDlgDrv& dialog() {
  static TonemapPhotDlgDrv* d = [] {
    Fl_Group::current(nullptr);
    auto* dlg = new TonemapPhotDlgDrv(580, 350, "Tonemap Image");
    g_tonemap_dialog = dlg;
    return dlg;
  }();
  return *d;
}

void BM_setup_24mp(benchmark::State& state) {
  const Hdr_image& image = scene();
  TonemapPhotDlgDrv& d = dialog();
  d.choose_type(k_tonemap_global);
  for (auto _ : state) d.setup(std::make_unique<Hdr_image>(image), nullptr, 1.f, {});
}
BENCHMARK(BM_setup_24mp)->Unit(benchmark::kMillisecond)->Iterations(3);

// One refresh with the type of the argument, the source set up once.
void BM_refresh_preview_24mp(benchmark::State& state) {
  TonemapPhotDlgDrv& d = dialog();
  static const bool ready = [&] {
    d.setup(std::make_unique<Hdr_image>(scene()), nullptr, 1.f, {});
    return true;
  }();
  (void)ready;
  d.choose_type(uint32_t(state.range(0)));
  for (auto _ : state) d.refresh_preview();
}
BENCHMARK(BM_refresh_preview_24mp)
    ->ArgName("type")
    ->DenseRange(k_tonemap_automatic, k_tonemap_asymmetric)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

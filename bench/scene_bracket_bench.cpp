// How well the merge and the alignment do on a bracket rendered from a scene of known
// radiance: a sky with clouds, a sun clipped even in the shortest frame and its glittering
// reflection, a dark textured shore. Five frames two stops apart through the sRGB curve,
// with shot and read noise and a JPEG round trip (quality 90, 4:2:0), as a camera gives
// them; the shifted twin moves every frame by (3, -1) pixels against the one before.
// The figures are counters; the times only say what one run costs.
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "hdr/exposure_alignment.h"
#include "hdr/hdr_assembly.h"

namespace {

constexpr uint32_t k_width = 1536, k_height = 1024;
constexpr int k_pad = 24;  // the scene reaches this far beyond every frame
constexpr int k_step_x = 3, k_step_y = -1;
const std::vector<float> k_times{1.f, 4.f, 16.f, 64.f, 256.f};

// Value noise of several octaves, about -1..1.
struct Fractal {
  std::vector<float> lattice = std::vector<float>(256 * 256);
  explicit Fractal(uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(-1.f, 1.f);
    for (float& v : lattice) v = u(rng);
  }
  float value(double x, double y) const {
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    auto at = [&](int a, int b) { return double(lattice[size_t((b & 255) * 256 + (a & 255))]); };
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = at(xi, yi) + (at(xi + 1, yi) - at(xi, yi)) * sx;
    const double bottom = at(xi, yi + 1) + (at(xi + 1, yi + 1) - at(xi, yi + 1)) * sx;
    return float(top + (bottom - top) * sy);
  }
  float octaves(double x, double y, int n) const {
    float sum = 0.f, amplitude = 0.5f;
    for (int i = 0; i < n; ++i, x *= 2.03, y *= 2.03, amplitude *= 0.5f)
      sum += amplitude * value(x, y);
    return sum;
  }
};

// Planar RGB radiance of the scene over (width + 2 pad) x (height + 2 pad); the frames'
// unit: radiance times relative exposure 1 is the top of the response at level 255.
struct Scene {
  uint32_t w = k_width + 2 * k_pad, h = k_height + 2 * k_pad;
  std::vector<float> radiance = std::vector<float>(size_t(w) * h * 3);

  Scene() {
    const Fractal clouds(1), ground(2), ripples(3);
    const double horizon = 0.46 * h, sun_x = 0.68 * w, sun_y = 0.2 * h, sun_r = 26;
    const float sky_tint[3] = {0.75f, 0.9f, 1.15f}, sun_tint[3] = {1.f, 0.97f, 0.9f};
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        float rgb[3];
        const double d_sun = std::hypot(x - sun_x, y - sun_y);
        if (y < horizon) {
          const double up = 1 - y / horizon;
          const float cloud = clouds.octaves(x / 90.0, y / 45.0, 6);
          const float base = float(0.045 * (1 - 0.6 * up) * std::exp2(1.6 * cloud));
          const float glow = float(1.2 * std::exp(-d_sun / 40) + 0.08 * std::exp(-d_sun / 200));
          const float sun = d_sun < sun_r ? 60.f : 0.f;
          for (int c = 0; c < 3; ++c) rgb[c] = base * sky_tint[c] + (glow + sun) * sun_tint[c];
        } else if (y < horizon + 0.08 * h) {
          // A dark shore: rocks and trees, shadows of a few thousandths of the sky.
          const float t = ground.octaves(x / 25.0, y / 25.0, 7);
          const float v = float(0.0015 * std::exp2(4.5 * t));
          for (int c = 0; c < 3; ++c) rgb[c] = v * (c == 1 ? 1.1f : c == 2 ? 0.8f : 1.f);
        } else {
          // Water: a dim mirror of the sky, ripples, and the sun's glitter under it.
          const double depth = (y - horizon) / (h - horizon);
          const float r = ripples.octaves(x / 12.0, y / 4.0, 5);
          const float base = float(0.012 * std::exp2(1.2 * r));
          const double spread = 30 + 120 * depth;
          const double lane = std::exp(-std::pow((x - sun_x) / spread, 2));
          const float glitter = r > 0.12f ? float(lane * 40 * (r - 0.12f)) : float(lane * 0.02);
          for (int c = 0; c < 3; ++c) rgb[c] = base * sky_tint[c] + glitter * sun_tint[c];
        }
        for (int c = 0; c < 3; ++c) radiance[(size_t(c) * h + y) * w + x] = rgb[c];
      }
  }
  float at(int c, int64_t x, int64_t y) const {
    return radiance[(size_t(c) * h + size_t(y)) * w + size_t(x)];
  }
};

const Scene& scene() {
  static const Scene s;
  return s;
}

// The sRGB level nearest to x (0..1 scale), as the merge's sRGB response reads it.
uint8_t srgb_level(float x, const float* f_inv) {
  if (!(x > 0.f)) return 0;
  if (x >= f_inv[255]) return 255;
  const float* above = std::upper_bound(f_inv, f_inv + 256, x);
  const int z = int(above - f_inv) - 1;
  return uint8_t((x - f_inv[z]) / (f_inv[z + 1] - f_inv[z]) < 0.5f ? z : z + 1);
}

// A JPEG round trip of planar RGB bytes (in place).
void jpeg_round_trip(std::vector<uint8_t>& planar, uint32_t w, uint32_t h) {
  const uint64_t plane = uint64_t(w) * h;
  std::vector<uint8_t> rgb(plane * 3);
  for (uint64_t i = 0; i < plane; ++i)
    for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = planar[c * plane + i];
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < h) {
    JSAMPROW row = &rgb[uint64_t(cinfo.next_scanline) * w * 3];
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);

  jpeg_decompress_struct dinfo;
  dinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&dinfo);
  jpeg_mem_src(&dinfo, buffer, size);
  jpeg_read_header(&dinfo, TRUE);
  jpeg_start_decompress(&dinfo);
  while (dinfo.output_scanline < h) {
    JSAMPROW row = &rgb[uint64_t(dinfo.output_scanline) * w * 3];
    jpeg_read_scanlines(&dinfo, &row, 1);
  }
  jpeg_finish_decompress(&dinfo);
  jpeg_destroy_decompress(&dinfo);
  std::free(buffer);
  for (uint64_t i = 0; i < plane; ++i)
    for (int c = 0; c < 3; ++c) planar[c * plane + i] = rgb[i * 3 + c];
}

// Frame m shows the scene from (pad + step * m * shifted) on, with shot and read noise.
struct Bracket {
  std::vector<std::vector<uint8_t>> pixels;
  std::vector<Exposure_planes> planes;
  std::vector<float> times = k_times;

  explicit Bracket(bool shifted) {
    const Fixed_responses responses = make_fixed_responses();
    const Scene& s = scene();
    std::mt19937 rng(7);
    std::normal_distribution<float> normal(0.f, 1.f);
    const uint64_t plane = uint64_t(k_width) * k_height;
    for (size_t m = 0; m < times.size(); ++m) {
      const int ox = k_pad + (shifted ? k_step_x * int(m) : 0);
      const int oy = k_pad + (shifted ? k_step_y * int(m) : 0);
      pixels.emplace_back(plane * 3);
      for (int c = 0; c < 3; ++c)
        for (uint32_t y = 0; y < k_height; ++y)
          for (uint32_t x = 0; x < k_width; ++x) {
            const float e = s.at(c, x + ox, y + oy) * times[m];
            const float sigma = std::sqrt(0.00005f * std::min(e, 1.f) + 0.0005f * 0.0005f);
            pixels[m][c * plane + uint64_t(y) * k_width + x] =
                srgb_level(e + sigma * normal(rng), responses.f_inv_srgb.data());
          }
      jpeg_round_trip(pixels[m], k_width, k_height);
    }
    for (auto& p : pixels) planes.push_back({p.data(), k_width, k_height, 3});
  }
};

Hdr_image merged(std::vector<Exposure_planes>& planes, const std::vector<float>& times) {
  auto state = std::make_unique<Assembly_state>();
  Assembly_settings settings;  // sRGB
  Silent_progress progress;
  Message_questions questions;  // sRGB asks nothing
  Hdr_image result(k_width, k_height, 1, 3, 0.f);
  build_hdr(*state, result, planes, times, settings, progress, questions);
  return result;
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + ptrdiff_t(v.size() / 2), v.end());
  return v[v.size() / 2];
}

float luminance(const Hdr_image& r, uint64_t i) {
  const uint64_t plane = r.plane_size();
  const float* v = r.data();
  return 0.2126f * v[i] + 0.7152f * v[plane + i] + 0.0722f * v[2 * plane + i];
}

// |log2| of merged over true radiance (frame 2's view offset by ox, oy), every channel.
std::vector<double> log_errors(const Hdr_image& r, int ox, int oy, const std::vector<bool>* only) {
  const Scene& s = scene();
  const uint64_t plane = r.plane_size();
  std::vector<double> errors;
  for (uint32_t y = 0; y < k_height; ++y)
    for (uint32_t x = 0; x < k_width; ++x) {
      const uint64_t i = uint64_t(y) * k_width + x;
      if (only && !(*only)[i]) continue;
      for (int c = 0; c < 3; ++c) {
        const double v = r.data()[c * plane + i];
        const double truth = s.at(c, x + ox, y + oy);
        errors.push_back(v > 0 ? std::abs(std::log2(v / truth)) : 30.0);
      }
    }
  return errors;
}

// Pixels with a channel at 255 in the shortest frame, and of them those darker than half
// the median of the unclipped pixels that border their clipped area.
void dark_clipped(const Bracket& b, const Hdr_image& r, double& clipped, double& dark) {
  const uint64_t plane = uint64_t(k_width) * k_height;
  std::vector<bool> is_clipped(plane);
  for (uint64_t i = 0; i < plane; ++i)
    is_clipped[i] =
        b.pixels[0][i] == 255 || b.pixels[0][plane + i] == 255 || b.pixels[0][2 * plane + i] == 255;
  std::vector<int> label(plane, -1);
  clipped = dark = 0;
  std::vector<uint64_t> area, stack;
  std::vector<float> ring;
  std::vector<int> ring_mark(plane, -1);
  int next = 0;
  for (uint64_t start = 0; start < plane; ++start) {
    if (!is_clipped[start] || label[start] != -1) continue;
    area.clear();
    ring.clear();
    stack = {start};
    label[start] = next;
    while (!stack.empty()) {
      const uint64_t i = stack.back();
      stack.pop_back();
      area.push_back(i);
      const int64_t x = int64_t(i % k_width), y = int64_t(i / k_width);
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int64_t nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= k_width || ny >= k_height) continue;
          const uint64_t j = uint64_t(ny) * k_width + uint64_t(nx);
          if (is_clipped[j]) {
            if (label[j] == -1) {
              label[j] = next;
              stack.push_back(j);
            }
          } else if (ring_mark[j] != next) {
            ring_mark[j] = next;
            ring.push_back(luminance(r, j));
          }
        }
    }
    ++next;
    if (ring.empty()) continue;
    std::vector<double> around(ring.begin(), ring.end());
    const double reference = median(around);
    clipped += double(area.size());
    for (uint64_t i : area) dark += luminance(r, i) < 0.5 * reference;
  }
}

void BM_scene_bracket_merge(benchmark::State& state) {
  Bracket b(false);
  Hdr_image result;
  for (auto _ : state) result = merged(b.planes, b.times);
  double clipped = 0, dark = 0;
  dark_clipped(b, result, clipped, dark);
  const uint64_t plane = uint64_t(k_width) * k_height;
  std::vector<bool> in_clipped(plane);
  for (uint64_t i = 0; i < plane; ++i)
    in_clipped[i] =
        b.pixels[0][i] == 255 || b.pixels[0][plane + i] == 255 || b.pixels[0][2 * plane + i] == 255;
  state.counters["clipped_in_shortest"] = clipped;
  state.counters["dark_share_pct"] = 100 * dark / std::max(1.0, clipped);
  state.counters["median_log2_err"] = median(log_errors(result, k_pad, k_pad, nullptr));
  state.counters["median_log2_err_clipped"] = median(log_errors(result, k_pad, k_pad, &in_clipped));
}
BENCHMARK(BM_scene_bracket_merge)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The translation that turned frame `original` into `aligned` (new(x, y) = old(x + dx,
// y + dy)), compared over the middle of the frame; false when none within 60 pixels.
bool applied_shift(const std::vector<uint8_t>& original, const std::vector<uint8_t>& aligned,
                   int& dx, int& dy) {
  for (int ty = -60; ty <= 60; ++ty)
    for (int tx = -60; tx <= 60; ++tx) {
      bool same = true;
      for (uint32_t y = 100; same && y < k_height - 100; y += 7)
        for (uint32_t x = 100; same && x < k_width - 100; x += 5)
          same = aligned[uint64_t(y) * k_width + x] ==
                 original[uint64_t(int64_t(y) + ty) * k_width + uint64_t(int64_t(x) + tx)];
      if (same) {
        dx = tx, dy = ty;
        return true;
      }
    }
  return false;
}

// Share of pixels (away from the borders the shifts uncover) more than 1 EV off.
double off_by_a_stop_pct(const Hdr_image& r, int ox, int oy) {
  const std::vector<double> errors = log_errors(r, ox, oy, nullptr);
  uint64_t off = 0, counted = 0;
  for (uint32_t y = 0; y < k_height; ++y)
    for (uint32_t x = 0; x < k_width; ++x) {
      if (x < 16 || y < 16 || x + 16 >= k_width || y + 16 >= k_height) continue;
      const uint64_t i = (uint64_t(y) * k_width + x) * 3;
      for (int c = 0; c < 3; ++c, ++counted) off += errors[i + uint64_t(c)] > 1.0;
    }
  return 100.0 * double(off) / double(counted);
}

void BM_scene_bracket_alignment(benchmark::State& state) {
  const Bracket shifted(true);
  Bracket b(true);
  Silent_progress progress;
  for (auto _ : state) {
    state.PauseTiming();
    b.pixels = shifted.pixels;
    b.planes.clear();
    for (auto& p : b.pixels) b.planes.push_back({p.data(), k_width, k_height, 3});
    state.ResumeTiming();
    align_exposures_seeded(b.planes, progress, uint32_t(state.range(0)));
  }
  // Pairwise shifts found: the view of frame m against frame m - 1 (the translation of
  // frame m - 1 minus that of frame m).
  const size_t mid = b.pixels.size() / 2;
  std::vector<int> sx(b.pixels.size()), sy(b.pixels.size());
  int found = 0;
  for (size_t m = 0; m < b.pixels.size(); ++m)
    if (!applied_shift(shifted.pixels[m], b.pixels[m], sx[m], sy[m])) sx[m] = sy[m] = 999;
  for (size_t m = 1; m < b.pixels.size(); ++m) {
    const int dx = sx[m - 1] - sx[m], dy = sy[m - 1] - sy[m];
    state.counters["pair" + std::to_string(m) + "_dx"] = dx;
    state.counters["pair" + std::to_string(m) + "_dy"] = dy;
    found += dx == k_step_x && dy == k_step_y;
  }
  state.counters["pairs_found"] = found;
  for (size_t m = 0; m < shifted.pixels.size(); ++m) {
    const uint64_t plane = uint64_t(k_width) * k_height;
    uint64_t clipped = 0;
    for (uint64_t i = 0; i < plane; ++i) clipped += shifted.pixels[m][plane + i] > 250;
    state.counters["frame" + std::to_string(m) + "_clipped_pct"] =
        100.0 * double(clipped) / double(plane);
  }
  const int ox = k_pad + k_step_x * int(mid), oy = k_pad + k_step_y * int(mid);
  state.counters["off_1ev_pct_aligned"] = off_by_a_stop_pct(merged(b.planes, b.times), ox, oy);
  Bracket unaligned(true);
  state.counters["off_1ev_pct_unaligned"] =
      off_by_a_stop_pct(merged(unaligned.planes, unaligned.times), ox, oy);
  Bracket unshifted(false);
  state.counters["off_1ev_pct_unshifted_bracket"] =
      off_by_a_stop_pct(merged(unshifted.planes, unshifted.times), k_pad, k_pad);
}
BENCHMARK(BM_scene_bracket_alignment)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

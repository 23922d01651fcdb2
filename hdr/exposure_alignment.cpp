// Exposure alignment. The region search tests its 10,000 candidates against summed-area
// tables, so a pass costs one sweep of the searched area instead of 10,000 window sums.
#include "hdr/exposure_alignment.h"

#include <CImg.h>

#include <algorithm>
#include <ctime>
#include <random>

#include "core/log.h"

namespace {

// The best mismatch before any comparison: more than any count a map can give.
constexpr int k_no_match = k_align_window * k_align_window;
// Edge means a region's Sobel responses must exceed at first, and its usable levels.
constexpr float k_edge_threshold = 50.f;
constexpr float k_clip_low = 5.f, k_clip_high = 250.f;

struct Plane {
  const uint8_t* g;
  int64_t w, h;
  int at(int64_t x, int64_t y) const { return g[y * w + x]; }
  int clamped(int64_t x, int64_t y) const {
    return at(std::clamp<int64_t>(x, 0, w - 1), std::clamp<int64_t>(y, 0, h - 1));
  }
};

// Summed-area table over the box [x0, x0 + bw) x [y0, y0 + bh). Unsigned wrap-around keeps
// every rectangle sum exact while the true sum stays below 2^32.
struct Area_sums {
  int64_t x0 = 0, y0 = 0, bw = 0, bh = 0;
  std::vector<uint32_t> s;  // (bw + 1) x (bh + 1)

  template <typename Value>
  void build(Value value) {
    s.assign(size_t((bw + 1) * (bh + 1)), 0);
    for (int64_t y = 0; y < bh; ++y) {
      uint32_t row = 0;
      for (int64_t x = 0; x < bw; ++x) {
        row += value(x0 + x, y0 + y);
        s[size_t((y + 1) * (bw + 1) + x + 1)] = s[size_t(y * (bw + 1) + x + 1)] + row;
      }
    }
  }
  // Sum over columns a..b and rows c..d inclusive (inside the box).
  uint32_t sum(int64_t a, int64_t b, int64_t c, int64_t d) const {
    a -= x0, b -= x0 - 1, c -= y0, d -= y0 - 1;
    return s[size_t(d * (bw + 1) + b)] - s[size_t(c * (bw + 1) + b)] - s[size_t(d * (bw + 1) + a)] +
           s[size_t(c * (bw + 1) + a)];
  }
};

// |V| and |H| responses of the two 3 x 3 edge kernels at (x, y), inside the image.
int vertical_edge(const Plane& p, int64_t x, int64_t y) {
  const int v = -p.at(x - 1, y - 1) + p.at(x + 1, y - 1) - 2 * p.at(x - 1, y) + 2 * p.at(x + 1, y) -
                p.at(x - 1, y + 1) + p.at(x + 1, y + 1);
  return std::abs(v);
}
int horizontal_edge(const Plane& p, int64_t x, int64_t y) {
  const int v = p.at(x - 1, y - 1) + 2 * p.at(x, y - 1) + p.at(x + 1, y - 1) - p.at(x - 1, y + 1) -
                2 * p.at(x, y + 1) - p.at(x + 1, y + 1);
  return std::abs(v);
}

// Whether the shift search around (x, y) reads only pixels of a w x h image.
bool search_fits(int64_t x, int64_t y, int64_t w, int64_t h, int margin, int window) {
  const int half = window / 2;
  const int64_t before = margin + half;
  const int64_t after = margin + std::max(window - 1 - half, half - 1);
  return x - before >= 0 && x + after <= w - 1 && y - before >= 0 && y + after <= h - 1;
}

// Whether the window centred at (x, y) reads only pixels of the image.
bool window_fits(int64_t x, int64_t y, int64_t w, int64_t h, int window) {
  return search_fits(x, y, w, h, 0, window);
}

}  // namespace

const uint8_t* alignment_plane(const Exposure_planes& exposure) {
  if (!exposure.pixels || exposure.channels == 0) return nullptr;
  return exposure.plane(std::min<uint32_t>(1, exposure.channels - 1));
}

bool find_roi(const Exposure_planes& exposure, int margin, int window, int previous_x,
              int previous_y, int& x, int& y, uint32_t seed, const Exposure_planes* next) {
  const Plane p{alignment_plane(exposure), int64_t(exposure.width), int64_t(exposure.height)};
  const int64_t third_w = p.w / 3, third_h = p.h / 3;
  if (!p.g || third_w == 0 || third_h == 0 || window < 3 || margin < 0) return false;
  const uint8_t* next_g = next ? alignment_plane(*next) : nullptr;
  if (next && (!next_g || next->width != exposure.width || next->height != exposure.height))
    return false;
  const int half = window / 2;

  // The candidates lie in the middle third of the image in both directions.
  std::mt19937 random(seed);
  std::vector<std::array<int64_t, 2>> points(k_roi_candidates);
  for (auto& pt : points) {
    pt[0] = int64_t(random() % uint64_t(third_w)) + third_w;
    pt[1] = int64_t(random() % uint64_t(third_h)) + third_h;
  }
  if (previous_x != -1) points[0] = {previous_x, previous_y};

  // Only candidates whose search fits are tested; the tables cover their clip squares.
  std::vector<size_t> fitting;
  Area_sums box;
  int64_t x0 = p.w, y0 = p.h, x1 = -1, y1 = -1;
  for (size_t k = 0; k < points.size(); ++k) {
    const int64_t cx = points[k][0], cy = points[k][1];
    if (!search_fits(cx, cy, p.w, p.h, margin, window)) continue;
    fitting.push_back(k);
    x0 = std::min(x0, cx - margin - half);
    x1 = std::max(x1, cx + margin + half);
    y0 = std::min(y0, cy - margin - half);
    y1 = std::max(y1, cy + margin + half);
  }
  if (fitting.empty()) {
    log_info("Could not find ROI: the image is too small to align.");
    return false;
  }
  box.x0 = x0, box.y0 = y0, box.bw = x1 - x0 + 1, box.bh = y1 - y0 + 1;
  Area_sums vertical = box, horizontal = box, clipped = box;
  auto inner = [&](int64_t px, int64_t py) {
    return px > 0 && py > 0 && px < p.w - 1 && py < p.h - 1;
  };
  vertical.build([&](int64_t px, int64_t py) {
    return inner(px, py) ? uint32_t(vertical_edge(p, px, py)) : 0u;
  });
  horizontal.build([&](int64_t px, int64_t py) {
    return inner(px, py) ? uint32_t(horizontal_edge(p, px, py)) : 0u;
  });

  // The clip bounds stay fixed while the edge threshold relaxes: levels outside them carry
  // no texture to match (a saturated area codes as one flat value everywhere, so every
  // shift would tie and the first of the scan would win).
  const Plane q{next_g, p.w, p.h};
  auto is_clipped = [](int v) { return float(v) < k_clip_low || float(v) > k_clip_high; };
  clipped.build([&](int64_t px, int64_t py) {
    return is_clipped(p.at(px, py)) || (q.g && is_clipped(q.at(px, py))) ? 1u : 0u;
  });
  float threshold = k_edge_threshold;
  const float area = float((window - 2) * (window - 2));
  for (int pass = 0; pass < k_roi_passes; ++pass) {
    for (size_t k : fitting) {
      const int64_t cx = points[k][0], cy = points[k][1];
      if (clipped.sum(cx - margin - half, cx + margin + half - 1, cy - margin - half,
                      cy + margin + half - 1) != 0)
        continue;
      // The sums are integers below 2^24, so the float means are those of any sum order.
      const float mves =
          float(vertical.sum(cx - half + 1, cx + half - 1, cy - half + 1, cy + half - 1)) / area;
      const float mhes =
          float(horizontal.sum(cx - half + 1, cx + half - 1, cy - half + 1, cy + half - 1)) / area;
      if (mves > threshold && mhes > threshold) {
        log_info("mves = %f", double(mves));
        log_info("mhes = %f", double(mhes));
        x = int(cx);
        y = int(cy);
        return true;
      }
    }
    log_info("Could not find ROI. Halving minimum edge magnitude.");
    threshold *= 0.5f;
  }
  return false;
}

void direction_codes(const Exposure_planes& exposure, int x, int y, int window,
                     Direction_map& map) {
  map.fill(0);
  const Plane p{alignment_plane(exposure), int64_t(exposure.width), int64_t(exposure.height)};
  if (!p.g || p.w == 0 || p.h == 0) return;
  // Codes by the signs of a (to the right) and b (below): a > 0, a < 0, a = 0 in rows,
  // b > 0, b < 0, b = 0 in columns.
  static constexpr uint32_t k_codes[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  auto sign_row = [](int d) { return d > 0 ? 0 : d < 0 ? 1 : 2; };
  const int half = window / 2;
  const int side = std::min(window - 1, k_code_side);
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) {
      const int64_t px = int64_t(x) - half + c, py = int64_t(y) - half + r;
      const int v = p.clamped(px, py);
      const int a = v - p.clamped(px + 1, py), b = v - p.clamped(px, py + 1);
      map[size_t(r * k_code_side + c)] = k_codes[sign_row(a)][sign_row(b)];
    }
}

int code_mismatch(const Direction_map& a, const Direction_map& b, int window) {
  const int side = std::clamp(window - 1, 0, k_code_side);
  int count = 0;
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c)
      count += a[size_t(r * k_code_side + c)] != b[size_t(r * k_code_side + c)];
  return count;
}

void chain_shifts(std::vector<int>& s) {
  const int n = int(s.size());
  if (n == 0) return;
  const int m = n / 2;
  for (int j = m + 2; j < n; ++j) s[size_t(j)] += s[size_t(j - 1)];
  // Each earlier entry from the pairwise values after it, not yet rewritten.
  for (int j = 0; j < m; ++j) {
    int sum = 0;
    for (int k = j + 1; k <= m; ++k) sum += s[size_t(k)];
    s[size_t(j)] = -sum;
  }
  s[size_t(m)] = 0;
}

void translate_exposure(Exposure_planes& exposure, int dx, int dy) {
  if (!exposure.pixels || exposure.plane_size() == 0 || exposure.channels == 0) return;
  if (dx == 0 && dy == 0) return;
  // A shared view: the planes are translated in place.
  cimg_library::CImg<uint8_t> view(exposure.pixels, exposure.width, exposure.height, 1,
                                   exposure.channels, true);
  view.shift(-dx, -dy, 0, 0, 0);
}

int align_exposures_seeded(std::vector<Exposure_planes>& exposures, Progress& progress,
                           uint32_t seed) {
  const int n = int(exposures.size());
  if (n == 0) return 0;
  std::vector<int> xs(size_t(n), 0), ys(size_t(n), 0);
  progress.start(0.f, 0.f, float(n - 1), "Aligning images");
  const int margin = k_align_margin, window = k_align_window;
  int px = -1, py = -1;
  Direction_map reference, candidate;
  for (int i = 0; i + 1 < n; ++i) {
    const Exposure_planes& a = exposures[size_t(i)];
    const Exposure_planes& b = exposures[size_t(i + 1)];
    int x = 0, y = 0, bx = 0, by = 0;
    const bool same_size = a.width == b.width && a.height == b.height && alignment_plane(b);
    // The region must be unclipped in exposure i + 1 too: the shift search reads (nearly)
    // the same square there.
    if (same_size && find_roi(a, margin, window, px, py, x, y, seed + uint32_t(i), &b)) {
      direction_codes(a, x, y, window, reference);
      int best = k_no_match;
      bx = x, by = y;
      for (int dy = y - margin; dy <= y + margin; ++dy)
        for (int dx = x - margin; dx <= x + margin; ++dx) {
          if (!window_fits(dx, dy, b.width, b.height, window)) continue;
          direction_codes(b, dx, dy, window, candidate);
          const int c = code_mismatch(reference, candidate, window);
          if (c < best) {  // ties keep the first position in scan order
            best = c;
            bx = dx, by = dy;
          }
        }
      xs[size_t(i + 1)] = bx - x;
      ys[size_t(i + 1)] = by - y;
      px = bx, py = by;  // the next search starts where exposure i + 1 matched
    } else {
      log_info("Exposures %d and %d cannot be compared; the pair is not shifted.", i, i + 1);
    }
    log_info("xShift = %d", xs[size_t(i + 1)]);
    log_info("yShift = %d", ys[size_t(i + 1)]);
    if (progress.update(float(i + 1)) == -1) return -1;
  }
  chain_shifts(xs);
  chain_shifts(ys);
  for (int j = 0; j < n; ++j)
    translate_exposure(exposures[size_t(j)], xs[size_t(j)], ys[size_t(j)]);
  return 0;
}

int align_exposures(std::vector<Exposure_planes>& exposures, Progress& progress) {
  return align_exposures_seeded(exposures, progress, uint32_t(std::time(nullptr)));
}

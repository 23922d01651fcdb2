// Exposure alignment. The region search tests its 10,000 candidates against summed-area
// tables, so a pass costs one sweep of the searched area instead of 10,000 window sums.
#include "hdr/exposure_alignment.h"

#include <CImg.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <random>

#include "core/log.h"

namespace {

// Edge means a region's Sobel responses must exceed at first.
constexpr float k_edge_threshold = 50.f;
// How far, in standard deviations of a count of that many compared positions, the best
// shift's share of differing codes must lie below the typical (median) share of the
// search. On a region of noise the codes differ at about three quarters of the positions
// at every shift, and the luckiest of the 6561 shifts lies about 4 deviations below; a
// true match of textured content lies 10 and more below, even across exposures.
constexpr double k_clear_match = 8.0;

bool unclipped(int v) { return v >= k_clip_low && v <= k_clip_high; }

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

// Exposure i of a pair (p) and, when given, exposure i + 1 (q) at the same place. A
// pixel is clear when it is unclipped in both.
struct Pair_view {
  Plane p;
  const uint8_t* q;
  bool clear(int64_t x, int64_t y) const {
    x = std::clamp<int64_t>(x, 0, p.w - 1), y = std::clamp<int64_t>(y, 0, p.h - 1);
    return unclipped(p.at(x, y)) && (!q || unclipped(q[y * p.w + x]));
  }
  // The code at (x, y) reads the pixel and its right and lower neighbours.
  uint32_t code_usable(int64_t x, int64_t y) const {
    return clear(x, y) && clear(x + 1, y) && clear(x, y + 1) ? 1u : 0u;
  }
  // Sobel responses count only where they see no clipped level of exposure i (a clip
  // boundary moves with the exposure) and the pixel is unclipped in exposure i + 1.
  bool clean(int64_t x, int64_t y) const {
    if (x <= 0 || y <= 0 || x >= p.w - 1 || y >= p.h - 1) return false;
    for (int64_t v = y - 1; v <= y + 1; ++v)
      for (int64_t u = x - 1; u <= x + 1; ++u)
        if (!unclipped(p.at(u, v))) return false;
    return !q || unclipped(q[y * p.w + x]);
  }
  uint32_t vertical(int64_t x, int64_t y) const {
    if (!clean(x, y)) return 0;
    const int v = -p.at(x - 1, y - 1) + p.at(x + 1, y - 1) - 2 * p.at(x - 1, y) +
                  2 * p.at(x + 1, y) - p.at(x - 1, y + 1) + p.at(x + 1, y + 1);
    return uint32_t(std::abs(v));
  }
  uint32_t horizontal(int64_t x, int64_t y) const {
    if (!clean(x, y)) return 0;
    const int v = p.at(x - 1, y - 1) + 2 * p.at(x, y - 1) + p.at(x + 1, y - 1) -
                  p.at(x - 1, y + 1) - 2 * p.at(x, y + 1) - p.at(x + 1, y + 1);
    return uint32_t(std::abs(v));
  }
};

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

// What the region test reads of the window centred at (x, y): its usable code positions
// and the sums of its edge responses.
struct Window_sums {
  int64_t x = 0, y = 0;
  uint32_t usable = 0, vertical = 0, horizontal = 0;
};

// Orders windows by texture: the smaller of the two edge sums, larger first.
bool more_textured(const Window_sums& a, const Window_sums& b) {
  return std::min(a.vertical, a.horizontal) > std::min(b.vertical, b.horizontal);
}

// The windows of a grid over the whole image whose search fits and which have enough
// usable codes, most textured first (the smaller edge sum decides; scan order on ties).
std::vector<Window_sums> grid_windows(const Pair_view& v, int margin, int window) {
  const int half = window / 2, side = std::min(window - 1, k_code_side);
  std::vector<Window_sums> grid;
  for (int64_t cy = margin + half; cy < v.p.h; cy += side)
    for (int64_t cx = margin + half; cx < v.p.w; cx += side) {
      if (!search_fits(cx, cy, v.p.w, v.p.h, margin, window)) continue;
      Window_sums s{cx, cy, 0, 0, 0};
      for (int64_t y = cy - half; y < cy - half + side; ++y)
        for (int64_t x = cx - half; x < cx - half + side; ++x) s.usable += v.code_usable(x, y);
      if (s.usable < uint32_t(k_min_region_codes)) continue;
      for (int64_t y = cy - half + 1; y <= cy + half - 1; ++y)
        for (int64_t x = cx - half + 1; x <= cx + half - 1; ++x) {
          s.vertical += v.vertical(x, y);
          s.horizontal += v.horizontal(x, y);
        }
      grid.push_back(s);
    }
  std::stable_sort(grid.begin(), grid.end(), more_textured);
  return grid;
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
  const int half = window / 2, side = std::min(window - 1, k_code_side);

  // The candidates lie in the middle third of the image in both directions.
  std::mt19937 random(seed);
  std::vector<std::array<int64_t, 2>> points(k_roi_candidates);
  for (auto& pt : points) {
    pt[0] = int64_t(random() % uint64_t(third_w)) + third_w;
    pt[1] = int64_t(random() % uint64_t(third_h)) + third_h;
  }
  if (previous_x != -1) points[0] = {previous_x, previous_y};

  // Only candidates whose search fits are tested; the tables cover their windows.
  std::vector<size_t> fitting;
  Area_sums box;
  int64_t x0 = p.w, y0 = p.h, x1 = -1, y1 = -1;
  for (size_t k = 0; k < points.size(); ++k) {
    const int64_t cx = points[k][0], cy = points[k][1];
    if (!search_fits(cx, cy, p.w, p.h, margin, window)) continue;
    fitting.push_back(k);
    x0 = std::min(x0, cx - half);
    x1 = std::max(x1, cx - half + side - 1);
    y0 = std::min(y0, cy - half);
    y1 = std::max(y1, cy - half + side - 1);
  }
  if (fitting.empty()) {
    log_info("Could not find ROI: the image is too small to align.");
    return false;
  }
  box.x0 = x0, box.y0 = y0, box.bw = x1 - x0 + 1, box.bh = y1 - y0 + 1;
  const Pair_view v{p, next_g};
  Area_sums vertical = box, horizontal = box, usable = box;
  vertical.build([&](int64_t px, int64_t py) { return v.vertical(px, py); });
  horizontal.build([&](int64_t px, int64_t py) { return v.horizontal(px, py); });
  usable.build([&](int64_t px, int64_t py) { return v.code_usable(px, py); });

  // The previous position (candidate 0) first; then the most textured of the middle third,
  // since the first one over the threshold may be barely textured, and noise then decides
  // its codes; then the most textured of a grid over the whole image, made only when the
  // middle third has no region at the first threshold.
  const float area = float((window - 2) * (window - 2));
  auto sums_at = [&](int64_t cx, int64_t cy) {
    Window_sums s{cx, cy, 0, 0, 0};
    s.usable = usable.sum(cx - half, cx - half + side - 1, cy - half, cy - half + side - 1);
    s.vertical = vertical.sum(cx - half + 1, cx + half - 1, cy - half + 1, cy + half - 1);
    s.horizontal = horizontal.sum(cx - half + 1, cx + half - 1, cy - half + 1, cy + half - 1);
    return s;
  };
  // The sums are integers below 2^24, so the float means are those of any sum order.
  auto passes = [&](const Window_sums& s, float threshold) {
    return s.usable >= uint32_t(k_min_region_codes) && float(s.vertical) / area > threshold &&
           float(s.horizontal) / area > threshold;
  };
  std::vector<Window_sums> middle;
  for (size_t k : fitting) {
    const Window_sums s = sums_at(points[k][0], points[k][1]);
    if (s.usable >= uint32_t(k_min_region_codes) && (k != 0 || previous_x == -1))
      middle.push_back(s);
  }
  std::stable_sort(middle.begin(), middle.end(), more_textured);
  const bool previous_fits = previous_x != -1 && !fitting.empty() && fitting[0] == 0;
  const Window_sums previous = previous_fits ? sums_at(previous_x, previous_y) : Window_sums{};
  std::vector<Window_sums> grid;
  bool grid_made = false;
  float threshold = k_edge_threshold;
  for (int pass = 0; pass < k_roi_passes; ++pass) {
    const Window_sums* chosen = nullptr;
    if (previous_fits && passes(previous, threshold))
      chosen = &previous;
    else if (!middle.empty() && passes(middle[0], threshold))
      chosen = &middle[0];
    if (!chosen) {
      // A bright exposure of a real scene is often clipped over all its middle third.
      if (!grid_made) grid = grid_windows(v, margin, window), grid_made = true;
      if (!grid.empty() && passes(grid[0], threshold)) chosen = &grid[0];
    }
    if (chosen) {
      log_info("mves = %f", double(float(chosen->vertical) / area));
      log_info("mhes = %f", double(float(chosen->horizontal) / area));
      x = int(chosen->x);
      y = int(chosen->y);
      return true;
    }
    log_info("Could not find ROI. Halving minimum edge magnitude.");
    threshold *= 0.5f;
  }
  return false;
}

void direction_codes(const Exposure_planes& exposure, int x, int y, int window, Direction_map& map,
                     bool skip_clipped) {
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
      const int v = p.clamped(px, py), right = p.clamped(px + 1, py), below = p.clamped(px, py + 1);
      if (skip_clipped && !(unclipped(v) && unclipped(right) && unclipped(below))) continue;
      map[size_t(r * k_code_side + c)] = k_codes[sign_row(v - right)][sign_row(v - below)];
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

Code_match match_codes(const Direction_map& a, const Direction_map& b) {
  Code_match m;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != 0 && b[i] != 0) {
      ++m.compared;
      m.differing += a[i] != b[i];
    }
  return m;
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

namespace {

// The shift of exposure b against a around the region (x, y) of a, searched within the
// margin; false when no shift matches clearly best (see align_exposures_seeded).
bool find_shift(const Exposure_planes& a, const Exposure_planes& b, int x, int y, int margin,
                int window, int& sx, int& sy) {
  Direction_map reference, candidate;
  direction_codes(a, x, y, window, reference, true);
  Code_match best;
  int bx = x, by = y;
  bool tied = false;
  std::vector<double> shares;
  auto share = [](const Code_match& m) { return double(m.differing) / double(m.compared); };
  for (int dy = y - margin; dy <= y + margin; ++dy)
    for (int dx = x - margin; dx <= x + margin; ++dx) {
      if (!window_fits(dx, dy, b.width, b.height, window)) continue;
      direction_codes(b, dx, dy, window, candidate, true);
      const Code_match m = match_codes(reference, candidate);
      if (m.compared < k_min_compared_codes) continue;
      shares.push_back(share(m));
      // Shares compared exactly, as products of the integer counts.
      const int64_t lhs = int64_t(m.differing) * best.compared;
      const int64_t rhs = int64_t(best.differing) * m.compared;
      if (best.compared == 0 || lhs < rhs) {
        best = m;
        bx = dx, by = dy;
        tied = false;
      } else if (lhs == rhs) {
        tied = true;
      }
    }
  if (best.compared == 0 || tied) return false;
  std::nth_element(shares.begin(), shares.begin() + ptrdiff_t(shares.size() / 2), shares.end());
  const double typical = shares[shares.size() / 2];
  const double deviation = std::sqrt(typical * (1 - typical) / double(best.compared));
  if (!(share(best) < typical - k_clear_match * deviation)) return false;
  sx = bx - x;
  sy = by - y;
  return true;
}

}  // namespace

int align_exposures_seeded(std::vector<Exposure_planes>& exposures, Progress& progress,
                           uint32_t seed, std::vector<int>* uncompared) {
  const int n = int(exposures.size());
  if (n == 0) return 0;
  std::vector<int> xs(size_t(n), 0), ys(size_t(n), 0), missed;
  progress.start(0.f, 0.f, float(n - 1), "Aligning images");
  const int margin = k_align_margin, window = k_align_window;
  int px = -1, py = -1;
  for (int i = 0; i + 1 < n; ++i) {
    const Exposure_planes& a = exposures[size_t(i)];
    const Exposure_planes& b = exposures[size_t(i + 1)];
    int x = 0, y = 0, sx = 0, sy = 0;
    const bool same_size = a.width == b.width && a.height == b.height && alignment_plane(b);
    // The region must be unclipped in exposure i + 1 too: the shift search reads (nearly)
    // the same square there.
    if (same_size && find_roi(a, margin, window, px, py, x, y, seed + uint32_t(i), &b) &&
        find_shift(a, b, x, y, margin, window, sx, sy)) {
      xs[size_t(i + 1)] = sx;
      ys[size_t(i + 1)] = sy;
      px = x + sx, py = y + sy;  // the next search starts where exposure i + 1 matched
    } else {
      log_info("Exposures %d and %d cannot be compared; the pair is not shifted.", i, i + 1);
      missed.push_back(i);
    }
    log_info("xShift = %d", xs[size_t(i + 1)]);
    log_info("yShift = %d", ys[size_t(i + 1)]);
    if (progress.update(float(i + 1)) == -1) return -1;
  }
  chain_shifts(xs);
  chain_shifts(ys);
  for (int j = 0; j < n; ++j)
    translate_exposure(exposures[size_t(j)], xs[size_t(j)], ys[size_t(j)]);
  if (uncompared) *uncompared = missed;
  return 0;
}

int align_exposures(std::vector<Exposure_planes>& exposures, Progress& progress,
                    std::vector<int>& uncompared) {
  return align_exposures_seeded(exposures, progress, uint32_t(std::time(nullptr)), &uncompared);
}

// Response recovery. The powers of the 256 normalised levels are tabulated once and each
// held patch's values are copied into its slot, so the fit walks compact 12 x 12 blocks.
#include "hdr/response_recovery.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <memory>

#include "hdr/matrix.h"

using namespace recovery_detail;

namespace {

constexpr int k_patch_pixels = k_patch_size * k_patch_size;
// A rejected draw after this many ends a slot's filling: at most 10,001 draws per slot.
constexpr int k_draw_limit = k_max_draws - 1;

uint8_t pixel(const Recovery_state& s, int e, int32_t x, int32_t y) {
  const Exposure_planes& p = s.exposures[size_t(e)];
  return p.plane(uint32_t(s.channel))[uint64_t(y) * p.width + uint64_t(x)];
}

bool positive_finite(float t) { return t > 0.f && std::isfinite(t); }

// Calls visit(z, z', R) for every pixel pair: every pair of exposures q < q', every patch
// held in both at one position, the 144 pixels in row order.
template <typename Visit>
void for_each_pixel_pair(const Recovery_state& s, Visit visit) {
  const int c = s.channel;
  for (int q = 0; q + 1 < s.n; ++q)
    for (int r = q + 1; r < s.n; ++r) {
      const float ratio = s.ratio[size_t(q)][size_t(r)];
      for (const Patch_record& a : s.patches[size_t(q)]) {
        if (!a.held) continue;
        for (const Patch_record& b : s.patches[size_t(r)]) {
          if (!b.held || b.x != a.x || b.y != a.y) continue;
          for (int row = 0; row < k_patch_size; ++row)
            for (int col = 0; col < k_patch_size; ++col)
              visit(a.values[row][col][c], b.values[row][col][c], ratio);
        }
      }
    }
}

}  // namespace

namespace recovery_detail {

void init_recovery_state(Recovery_state& s, const std::vector<Exposure_planes>& exposures,
                         const float* times, int n, uint32_t seed) {
  s.n = std::max(0, std::min(n, int(exposures.size())));
  s.exposures.assign(exposures.begin(), exposures.begin() + s.n);
  s.times.assign(times, times + s.n);
  s.width = s.n > 0 ? int32_t(exposures[0].width) : 0;
  s.height = s.n > 0 ? int32_t(exposures[0].height) : 0;
  if (s.n > 0 &&
      (exposures[0].width > uint32_t(INT32_MAX) || exposures[0].height > uint32_t(INT32_MAX)))
    s.width = s.height = 0;
  s.usable.assign(size_t(s.n), 0);
  for (int e = 0; e < s.n; ++e) {
    const Exposure_planes& p = s.exposures[size_t(e)];
    // The sampling reads every exposure with the first one's size.
    s.usable[size_t(e)] = p.pixels != nullptr && p.channels >= 3 && p.width == uint32_t(s.width) &&
                          p.height == uint32_t(s.height) && positive_finite(s.times[size_t(e)]);
  }
  s.ratio.assign(size_t(s.n), std::vector<float>(size_t(s.n), 0.f));
  for (int q = 0; q < s.n; ++q)
    for (int r = q + 1; r < s.n; ++r)
      s.ratio[size_t(q)][size_t(r)] = s.times[size_t(q)] / s.times[size_t(r)];
  for (int k = 0; k <= k_max_degree; ++k)
    for (int z = 0; z < 256; ++z) s.power[k][z] = float(std::pow(z / 255.0, k));
  s.patches.assign(size_t(s.n), std::vector<Patch_record>(k_patch_slots));
  s.channel = 0;
  for (auto& e : s.err)
    for (float& v : e) v = 0.f;
  for (auto& d : s.coef)
    for (auto& c : d)
      for (float& v : c) v = 0.f;
  s.random.seed(seed);
}

void reset_patches(Recovery_state& s) {
  for (auto& slots : s.patches)
    for (Patch_record& p : slots) p.held = 0;
}

float patch_mean(const Recovery_state& s, int e, int32_t x, int32_t y) {
  float sum = 0.f;
  for (int32_t r = y; r < y + k_patch_size; ++r)
    for (int32_t c = x; c < x + k_patch_size; ++c) sum += float(pixel(s, e, c, r));
  return sum / float(k_patch_pixels);
}

float patch_variance(const Recovery_state& s, int e, float mean, int32_t x, int32_t y) {
  float sum = 0.f;
  for (int32_t r = y; r < y + k_patch_size; ++r)
    for (int32_t c = x; c < x + k_patch_size; ++c) {
      const float d = mean - float(pixel(s, e, c, r));
      sum += double(d) * double(d);
    }
  return sum / float(k_patch_pixels - 1);
}

bool patch_has_clipped_pixel(const Recovery_state& s, int e, int32_t x, int32_t y) {
  for (int32_t r = y; r < y + k_patch_size; ++r)
    for (int32_t c = x; c < x + k_patch_size; ++c) {
      const int v = pixel(s, e, c, r);
      if (v < k_lowest_usable || v > k_highest_usable) return true;
    }
  return false;
}

bool patch_overlaps_kept(const Recovery_state& s, int e, int32_t x, int32_t y) {
  for (const Patch_record& k : s.patches[size_t(e)])
    if (k.held && k.x - k_patch_size <= x && x < k.x + k_patch_size && k.y - k_patch_size <= y &&
        y < k.y + k_patch_size)
      return true;
  return false;
}

bool mean_not_above_kept(const Recovery_state& s, int e, float mean) {
  for (const Patch_record& k : s.patches[size_t(e)])
    if (k.held && k.mean < mean) return false;
  return true;
}

void copy_patch(Recovery_state& s, int e, int slot, int32_t x, int32_t y) {
  Patch_record& p = s.patches[size_t(e)][size_t(slot)];
  for (int r = 0; r < k_patch_size; ++r)
    for (int c = 0; c < k_patch_size; ++c) p.values[r][c][s.channel] = pixel(s, e, x + c, y + r);
}

bool pick_random_patch(Recovery_state& s, int e, int slot) {
  // No position fits: every draw would fail, so skip them (the modulo needs a size).
  if (s.width < k_patch_size || s.height < k_patch_size || !s.usable[size_t(e)]) return false;
  for (int draws = 1;; ++draws) {
    const int32_t x = int32_t(s.random() % uint32_t(s.width));
    const int32_t y = int32_t(s.random() % uint32_t(s.height));
    if (x <= s.width - k_patch_size && y <= s.height - k_patch_size) {
      const float m = patch_mean(s, e, x, y);
      // A patch drawn in a later exposure is never brighter than one already held there.
      if (!patch_has_clipped_pixel(s, e, x, y) && (e == 0 || mean_not_above_kept(s, e, m)) &&
          !patch_overlaps_kept(s, e, x, y) && patch_variance(s, e, m, x, y) <= k_variance_limit) {
        Patch_record& p = s.patches[size_t(e)][size_t(slot)];
        p.x = x;
        p.y = y;
        p.mean = m;
        p.held = 1;
        copy_patch(s, e, slot, x, y);
        return true;
      }
    }
    if (draws > k_draw_limit) return false;
  }
}

void fit_response_polynomial(Recovery_state& s) {
  const int c = s.channel;
  for (int d = k_min_degree; d <= k_max_degree; ++d) {
    // f_inv(M) = sum c_k M^k with c_0 = 0 and c_d = 1 - (c_1 + ... + c_(d-1)), so that
    // f_inv(0) = 0 and f_inv(1) = 1; the unknowns are c_1 .. c_(d-1).
    Matrix A(d + 1, d - 1);
    Matrix b(d + 1, true);
    float D[k_max_degree + 1];
    for_each_pixel_pair(s, [&](int z, int z2, float ratio) {
      for (int k = 0; k <= d; ++k) D[k] = s.power[k][z] - ratio * s.power[k][z2];
      for (int i = 0; i <= d; ++i) {
        for (int j = 1; j < d; ++j) A(i, j - 1) += (D[j] - D[d]) * D[i];
        b(i, 0) += D[d] * D[i];
      }
    });
    for (int i = 0; i <= d; ++i) b(i, 0) = -b(i, 0);
    Matrix x(d - 1, true);
    x = A.pseudo_inverse() * b;
    float* coef = s.coef[d][c];
    float sum = 0.f;
    for (int j = 1; j < d; ++j) {
      coef[j] = x(j - 1, 0);
      sum += x(j - 1, 0);
    }
    coef[d] = float(1.0 - double(sum));
    coef[0] = 0.f;

    // Mean absolute mismatch of the pairs, in pixel levels.
    float error = 0.f;
    uint64_t pairs = 0;
    for_each_pixel_pair(s, [&](int z, int z2, float ratio) {
      const double m1 = z / 255.0, m2 = z2 / 255.0;
      float a1 = 0.f, a2 = 0.f;
      for (int k = 0; k <= d; ++k) {
        a1 += 255.0 * coef[k] * std::pow(m1, k);
        a2 += 255.0 * ratio * coef[k] * std::pow(m2, k);
      }
      error += std::fabs(a1 - a2);
      ++pairs;
    });
    s.err[c][d] = error / float(pairs == 0 ? 1 : pairs);
  }
}

int choose_degree(const Recovery_state& s) {
  int best[3];
  for (int c = 0; c < 3; ++c) {
    best[c] = k_min_degree;
    for (int d = k_min_degree + 1; d <= k_max_degree; ++d)
      if (s.err[c][best[c]] > s.err[c][d]) best[c] = d;  // ties keep the lower degree
  }
  int winner = 0;
  float least = 0.f;
  for (int c = 0; c < 3; ++c) {
    const int d = best[c];
    const float mean = (s.err[1][d] + s.err[0][d] + s.err[2][d]) / 3.f;
    if (c == 0 || mean < least) {
      least = mean;
      winner = c;
    }
  }
  return best[winner];
}

}  // namespace recovery_detail

void tabulate_response(const float coefficients[3][6], int degree, Response_table f[3],
                       Response_table f_inv[3], Response_table f_pri[3]) {
  constexpr float k_unset = -1.f;
  for (int c = 0; c < 3; ++c) f[c].fill(k_unset);
  for (int c = 0; c < 3; ++c) {
    float largest = -1.f;
    for (int z = 0; z < 256; ++z) {
      const float s = float(z) / 255.f;
      float v = 0.f;
      for (int k = 0; k <= degree; ++k) v += double(coefficients[c][k]) * std::pow(double(s), k);
      // A polynomial beyond [0, 1] is clamped; non-finite values must not index f.
      if (!(v >= 0.f)) v = 0.f;
      if (v > 1.f) v = 1.f;
      f_inv[c][z] = v;
      f[c][size_t(double(v * 255.f) + 0.5)] = s;
      largest = std::max(largest, v);
    }
    const float divisor = largest > 0.f ? largest : 1e-5f;
    for (float& v : f_inv[c]) v /= divisor;
    f[c][0] = 0.f;
    f_inv[c][0] = 0.f;
    f[c][255] = 1.f;
    f_inv[c][255] = 1.f;
    // Levels the polynomial skipped lie on the line between their known neighbours.
    int known = 0;
    for (int v = 1; v < 256; ++v) {
      if (f[c][size_t(v)] == k_unset) continue;
      const int run = v - known - 1;
      if (run > 0) {
        const float a = f[c][size_t(known)], b = f[c][size_t(v)];
        const float step = (b - a) / float(run + 1);
        for (int i = 1; i <= run; ++i) f[c][size_t(known + i)] = a + float(i) * step;
      }
      known = v;
    }
  }
  for (int c = 0; c < 3; ++c) {
    for (int v = 0; v < 255; ++v) f_pri[c][size_t(v)] = f[c][size_t(v) + 1] - f[c][size_t(v)];
    f_pri[c][255] = f_pri[c][254];
  }
}

int recover_response(const std::vector<Exposure_planes>& exposures, const float* times, int n,
                     float coefficients[3][6], Response_table f[3], Response_table f_inv[3],
                     Response_table f_pri[3], Progress& progress, uint32_t seed) {
  // The working state lives on the heap for one recovery: several recoveries may run at
  // once (one started from an event pumped by another's progress) without sharing it.
  auto state = std::make_unique<Recovery_state>();
  Recovery_state& s = *state;
  init_recovery_state(s, exposures, times, n, seed);
  progress.start(0.f, 0.f, 3.f, "Recovering camera response");
  for (int c = 0; c < 3; ++c) {
    s.channel = c;
    reset_patches(s);
    for (int slot = 0; slot < k_patch_slots; ++slot)
      if (s.n == 0 || !pick_random_patch(s, 0, slot)) break;
    for (int e = 1; e < s.n; ++e) {
      // Carry over: a patch held in e - 1 stays in its slot where it is still usable.
      if (s.usable[size_t(e)])
        for (int slot = 0; slot < k_patch_slots; ++slot) {
          const Patch_record& before = s.patches[size_t(e - 1)][size_t(slot)];
          if (!before.held) continue;
          const float m = patch_mean(s, e, before.x, before.y);
          if (patch_has_clipped_pixel(s, e, before.x, before.y) ||
              patch_overlaps_kept(s, e, before.x, before.y) ||
              patch_variance(s, e, m, before.x, before.y) > k_variance_limit)
            continue;
          Patch_record& p = s.patches[size_t(e)][size_t(slot)];
          p.x = before.x;
          p.y = before.y;
          p.mean = m;
          p.held = 1;
          copy_patch(s, e, slot, p.x, p.y);
        }
      for (int slot = 0; slot < k_patch_slots; ++slot)
        if (!s.patches[size_t(e)][size_t(slot)].held && !pick_random_patch(s, e, slot)) break;
    }
    fit_response_polynomial(s);
    progress.update(float(c + 1));  // a cancel does not end a recovery
  }
  const int degree = choose_degree(s);
  reset_patches(s);
  s.channel = 0;
  for (int c = 0; c < 3; ++c)
    for (int k = 0; k <= degree; ++k) coefficients[c][k] = s.coef[degree][c][k];
  tabulate_response(coefficients, degree, f, f_inv, f_pri);
  return degree;
}

int recover_response(const std::vector<Exposure_planes>& exposures, const float* times, int n,
                     float coefficients[3][6], Response_table f[3], Response_table f_inv[3],
                     Response_table f_pri[3], Progress& progress) {
  return recover_response(exposures, times, n, coefficients, f, f_inv, f_pri, progress,
                          uint32_t(std::time(nullptr)));
}

// The merge of an exposure series. Per pixel it does only table look-ups, products and
// sums; powers and the divisions by the exposure are taken once per table entry.
#include "hdr/hdr_assembly.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "core/messages.h"

const char* const k_message_size_mismatch =
    "All images should have the same resolution for HDR creation.";
const char* const k_message_bad_exposure =
    "Cannot create the HDR image: an exposure value is zero, negative or not a number.";

namespace {

// Pixels merged together: the per-channel sums of a block stay in L1 while every
// exposure is added, so each input byte is read once and each result float written once.
constexpr uint64_t k_block = 1024;
// Keeps the normalising divisions finite where every weight is 0.
constexpr float k_tiny = 1e-12f;

bool same_shape(const Exposure_planes& e, const Hdr_image& result) {
  return e.width == uint32_t(result.width()) && e.height == uint32_t(result.height()) &&
         e.channels == 3 && (e.pixels != nullptr || e.plane_size() == 0);
}

bool refuse_group(const Hdr_image& result, const std::vector<Exposure_planes>& exposures,
                  const std::vector<float>& times) {
  if (exposures.empty() || times.size() != exposures.size()) return true;
  if (result.depth() != 1 || result.spectrum() != 3 || result.width() <= 0 ||
      result.height() <= 0) {
    show_alert(k_message_size_mismatch);
    return true;
  }
  for (const auto& e : exposures) {
    if (!same_shape(e, result)) {
      show_alert(k_message_size_mismatch);
      return true;
    }
  }
  for (float t : times) {
    if (!(t > 0.f) || !std::isfinite(t)) {
      show_alert(k_message_bad_exposure);
      return true;
    }
  }
  return false;
}

// A response value mapped back to a level; tables from a recovery may hold anything.
uint8_t level_of(float x) {
  const float v = x * 255.f;
  if (!(v > 0.f)) return 0;
  if (v >= 255.f) return 255;
  return uint8_t(int(v));
}

// Replaces each exposure's levels by the response's image of the irradiance averaged over
// it and its next five brighter neighbours; neighbours near saturation fade out via T.
int reduce_noise(std::vector<Exposure_planes>& exposures, const std::vector<float>& t,
                 const Active_response& response, const std::vector<Response_table> rad[3],
                 const Taper_table& taper, Progress& progress) {
  const int n = int(exposures.size());
  const uint64_t pixels = exposures[0].plane_size();
  uint8_t f_byte[3][k_response_levels];
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < k_response_levels; ++v) f_byte[c][v] = level_of(response.f[c][v]);

  progress.start(0.f, 0.f, float(n), "Reducing noise");
  std::vector<Response_table> weight(k_noise_window), weighted_rad(k_noise_window);
  for (int k = 0; k < n; ++k) {
    const int e = std::min(n, k + k_noise_window);
    const float t255 = t[k] * 255.f;
    for (int c = 0; c < 3; ++c) {
      // w_m = t[m] for the exposure itself, t[m] T[z] for its neighbours; both products
      // are the ones a per-pixel evaluation would form.
      for (int m = k; m < e; ++m) {
        Response_table& w = weight[m - k];
        Response_table& wr = weighted_rad[m - k];
        for (int z = 0; z < k_response_levels; ++z) {
          w[z] = m == k ? t[m] : t[m] * taper[z];
          wr[z] = w[z] * rad[c][m][z];
        }
      }
      uint8_t* out = exposures[k].plane(c);
      const uint8_t* in[k_noise_window];
      for (int m = k; m < e; ++m) in[m - k] = exposures[m].plane(c);
      const int count = e - k;
      for (uint64_t p = 0; p < pixels; ++p) {
        float s = 0.f, v = 0.f;
        for (int j = 0; j < count; ++j) {
          const uint8_t z = in[j][p];
          s += weighted_rad[j][z];
          v += weight[j][z];
        }
        const float x = s / (v + k_tiny) * t255;
        int level = 0;
        if (x >= 255.f) level = 255;
        else if (x > 0.f) level = int(x);
        out[p] = f_byte[c][level];
      }
    }
    if (progress.update(float(k + 1)) == -1) return -1;
  }
  return 0;
}

// Sums of one block of pixels over every exposure, then the normalised, clamped result.
void merge_block(const std::vector<Exposure_planes>& exposures, const Weight_tables& weights,
                 const std::vector<Response_table> rad[3], uint64_t first, uint64_t count,
                 float* const out[3]) {
  float sum[3][k_block], wsum[3][k_block];
  std::fill(&sum[0][0], &sum[0][0] + 3 * k_block, 0.f);
  std::fill(&wsum[0][0], &wsum[0][0] + 3 * k_block, 0.f);
  const float* w[3] = {weights.w[0].data(), weights.w[1].data(), weights.w[2].data()};
  for (size_t m = 0; m < exposures.size(); ++m) {
    const uint8_t* r = exposures[m].plane(0) + first;
    const uint8_t* g = exposures[m].plane(1) + first;
    const uint8_t* b = exposures[m].plane(2) + first;
    const float* rad_r = rad[0][m].data();
    const float* rad_g = rad[1][m].data();
    const float* rad_b = rad[2][m].data();
    for (uint64_t i = 0; i < count; ++i) {
      // The luminance level, summed in this order in single precision.
      const float y = 0.7152f * float(g[i]) + 0.2126f * float(r[i]) + 0.0722f * float(b[i]) + 0.5f;
      const int l = int(y) & 0xff;
      const float wr = w[0][r[i] * k_response_levels + l];
      const float wg = w[1][g[i] * k_response_levels + l];
      const float wb = w[2][b[i] * k_response_levels + l];
      sum[0][i] += wr * rad_r[r[i]];
      wsum[0][i] += wr;
      sum[1][i] += wg * rad_g[g[i]];
      wsum[1][i] += wg;
      sum[2][i] += wb * rad_b[b[i]];
      wsum[2][i] += wb;
    }
  }
  for (int c = 0; c < 3; ++c) {
    float* o = out[c] + first;
    for (uint64_t i = 0; i < count; ++i) {
      const float v = sum[c][i] / (wsum[c][i] + k_tiny);
      // NaN fails the first test and becomes 0; infinity becomes the largest float.
      o[i] = v >= 0.f ? std::min(v, FLT_MAX) : 0.f;
    }
  }
}

// The weighted mean. Pixels are taken in n equal runs, each followed by one progress step,
// so the bar moves and "Cancel" is seen as often as with one pass per exposure; every
// pixel still sums its exposures in ascending order.
int merge(Hdr_image& result, const std::vector<Exposure_planes>& exposures,
          const Weight_tables& weights, const std::vector<Response_table> rad[3],
          Progress& progress) {
  const uint64_t n = exposures.size();
  const uint64_t pixels = result.plane_size();
  float* out[3];
  rgb_planes(result, out[0], out[1], out[2]);
  progress.start(0.f, 0.f, float(n), "Assembling images");
  for (uint64_t step = 0; step < n; ++step) {
    const uint64_t begin = pixels * step / n, end = pixels * (step + 1) / n;
    for (uint64_t p = begin; p < end; p += k_block)
      merge_block(exposures, weights, rad, p, std::min(k_block, end - p), out);
    if (progress.update(float(step + 1)) == -1) return -1;
  }
  return 0;
}

}  // namespace

int build_hdr(Assembly_state& state, Hdr_image& result, std::vector<Exposure_planes>& exposures,
              const std::vector<float>& exposure_times, Assembly_settings& settings,
              Progress& progress) {
  if (refuse_group(result, exposures, exposure_times)) return -1;
  if (select_response(state.response, settings.response_choice, exposures, exposure_times,
                      settings.camera_source) == -1)
    return -1;
  const Active_response& response = state.response.active;
  build_weight_tables(response, state.weights);

  // Rad_c[z][m] = f_inv_c[z] / t[m], one table of levels per channel and exposure.
  const size_t n = exposures.size();
  std::vector<Response_table> rad[3];
  for (int c = 0; c < 3; ++c) {
    rad[c].resize(n);
    for (size_t m = 0; m < n; ++m)
      for (int z = 0; z < k_response_levels; ++z)
        rad[c][m][z] = response.f_inv[c][z] / exposure_times[m];
  }

  if (settings.reduce_noise &&
      reduce_noise(exposures, exposure_times, response, rad, state.taper, progress) == -1)
    return -1;
  if (settings.align && settings.align_exposures &&
      settings.align_exposures(exposures, progress) == -1)
    return -1;
  return merge(result, exposures, state.weights, rad, progress);
}

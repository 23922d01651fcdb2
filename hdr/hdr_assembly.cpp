// The merge of an exposure series. Per pixel it does only table look-ups, products and
// sums; powers and the divisions by the exposure are taken once per table entry.
#include "hdr/hdr_assembly.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/refusal.h"
#include "hdr/merge_kernel.h"

const char* const k_message_size_mismatch =
    "All images should have the same resolution for HDR creation.";
const char* const k_message_bad_exposure =
    "Cannot create the HDR image: an exposure value is zero, negative or not a number.";

namespace {

// Keeps the normalising divisions finite where every weight is 0.
constexpr float k_tiny = 1e-12f;

bool same_shape(const Exposure_planes& e, const Hdr_image& result) {
  return e.width == uint32_t(result.width()) && e.height == uint32_t(result.height()) &&
         e.channels == 3 && (e.pixels != nullptr || e.plane_size() == 0);
}

// Throws the refusal of a group that cannot be merged.
void check_group(const Hdr_image& result, const std::vector<Exposure_planes>& exposures,
                 const std::vector<float>& times) {
  if (result.depth() != 1 || result.spectrum() != 3 || result.width() <= 0 || result.height() <= 0)
    throw Refusal(k_message_size_mismatch);
  for (const auto& e : exposures)
    if (!same_shape(e, result)) throw Refusal(k_message_size_mismatch);
  for (float t : times)
    if (!(t > 0.f) || !std::isfinite(t)) throw Refusal(k_message_bad_exposure);
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
        if (x >= 255.f)
          level = 255;
        else if (x > 0.f)
          level = int(x);
        out[p] = f_byte[c][level];
      }
    }
    if (progress.update(float(k + 1)) == -1) return -1;
  }
  return 0;
}

// Distance between two pair tables in floats. The 17 cache lines beyond the table's own
// size put the same entry of different tables into different cache sets; at a plain
// power-of-two distance the look-ups of one pixel in all tables would evict each other.
constexpr uint64_t k_pair_table_stride = k_pair_table_floats + 17 * 16;

// Per exposure and channel, the pair (W_c[z][L], W_c[z][L] * Rad_c[z][m]) for every level
// and luminance level: the products a per-pixel evaluation would form, taken once.
// Table 3m + c starts at (3m + c) * k_pair_table_stride.
std::vector<float> pair_tables(const Weight_tables& weights,
                               const std::vector<Response_table> rad[3]) {
  const size_t n = rad[0].size();
  std::vector<float> pairs(3 * n * k_pair_table_stride);
  for (size_t m = 0; m < n; ++m)
    for (int c = 0; c < 3; ++c) {
      float* table = pairs.data() + (m * 3 + c) * k_pair_table_stride;
      for (int z = 0; z < k_response_levels; ++z) {
        const float* w = weights.row(c, z);
        const float irradiance = rad[c][m][z];
        float* out = table + 2 * z * k_response_levels;
        for (int l = 0; l < k_response_levels; ++l) {
          out[2 * l] = w[l];
          out[2 * l + 1] = w[l] * irradiance;
        }
      }
    }
  return pairs;
}

// The weighted mean. Pixels are taken in n equal runs, each followed by one progress step,
// so the bar moves and "Cancel" is seen as often as with one pass per exposure; every
// pixel still sums its exposures in ascending order.
int merge(Hdr_image& result, const std::vector<Exposure_planes>& exposures,
          const std::vector<float>& t, const Weight_tables& weights,
          const std::vector<Response_table> rad[3], Progress& progress) {
  const uint64_t n = exposures.size();
  const uint64_t pixels = result.plane_size();
  float* out[3];
  rgb_planes(result, out[0], out[1], out[2]);
  progress.start(0.f, 0.f, float(n), "Assembling images");
  const std::vector<float> pairs = pair_tables(weights, rad);
  std::vector<const float*> tables;
  std::vector<const uint8_t*> planes;
  for (uint64_t m = 0; m < n; ++m)
    for (uint32_t c = 0; c < 3; ++c) {
      tables.push_back(pairs.data() + (m * 3 + c) * k_pair_table_stride);
      planes.push_back(exposures[m].plane(c));
    }
  Floor_irradiance floor;
  for (size_t m = 0; m < n; ++m) {
    if (t[m] < t[floor.shortest]) floor.shortest = m;
    if (t[m] >= t[floor.longest]) floor.longest = m;
  }
  for (int c = 0; c < 3; ++c) {
    floor.shortest_rad[c] = rad[c][floor.shortest].data();
    floor.longest_rad[c] = rad[c][floor.longest].data();
  }
  for (uint64_t step = 0; step < n; ++step) {
    const uint64_t begin = pixels * step / n, end = pixels * (step + 1) / n;
    merge_pixels(planes.data(), tables.data(), n, begin, end - begin, out, &floor);
    if (progress.update(float(step + 1)) == -1) return -1;
  }
  return 0;
}

}  // namespace

int build_hdr(Assembly_state& state, Hdr_image& result, std::vector<Exposure_planes>& exposures,
              const std::vector<float>& exposure_times, Assembly_settings& settings,
              Progress& progress, Hdr_questions& questions) {
  if (exposures.empty() || exposure_times.size() != exposures.size()) return -1;
  check_group(result, exposures, exposure_times);
  if (select_response(state.response, settings.response_choice, exposures, exposure_times,
                      settings.camera_source, questions) == -1)
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
  settings.uncompared_pairs.clear();
  if (settings.align && settings.align_exposures &&
      settings.align_exposures(exposures, progress, settings.uncompared_pairs) == -1)
    return -1;
  return merge(result, exposures, exposure_times, state.weights, rad, progress);
}

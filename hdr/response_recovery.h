// Recovery of a camera's response curves from one exposure series of a still scene:
// uniform patches followed through the exposures, a least-squares polynomial per channel
// over every pair of exposures, and the tables HDR assembly merges with.
#pragma once
#include <cstdint>
#include <random>
#include <vector>

#include "hdr/exposure_planes.h"
#include "hdr/progress.h"
#include "hdr/response_tables.h"

/// Side of a sampled square patch, in pixels.
constexpr int k_patch_size = 12;
/// Patch slots per exposure.
constexpr int k_patch_slots = 50;
/// Usable levels: a patch holding a value outside [5, 250] is clipped.
constexpr int k_lowest_usable = 5;
constexpr int k_highest_usable = 250;
/// A patch whose sample variance exceeds this is not uniform enough.
constexpr float k_variance_limit = 20.f;
/// Random draws one slot gets before its filling stops.
constexpr int k_max_draws = 10001;
/// Polynomial degrees tried.
constexpr int k_min_degree = 1;
constexpr int k_max_degree = 5;

/// Recovers the response of the camera that took exposures (planar RGB bytes, ascending
/// relative exposure times[m]; the first exposure's size is the sampling area) and returns
/// the polynomial degree D (1..5) chosen for all three channels. Fills coefficients[c][0..D]
/// (entries above D stay as they were), f_inv[c] (level to normalised linear exposure),
/// f[c] (its inverse on 256 linear steps) and f_pri[c] (forward differences of f), all
/// starting at 0 and ending at 1. Progress: one phase "Recovering camera response" of 3
/// steps, one per channel; a cancel is not consulted. Exposures that are too small,
/// clipped, or uniform leave few or no patch pairs, and no pairs give the straight line
/// (D = 1). An exposure whose time is not finite and positive, or whose size or channel
/// count differs from the first's, takes part in no pair. A fit that cannot be solved
/// (times whose ratio overflows to infinity) throws Refusal(k_response_not_recovered).
/// The patches are drawn from a generator seeded with seed.
int recover_response(const std::vector<Exposure_planes>& exposures, const float* times, int n,
                     float coefficients[3][6], Response_table f[3], Response_table f_inv[3],
                     Response_table f_pri[3], Progress& progress, uint32_t seed);

/// As above, seeded with the current time: two recoveries may differ.
int recover_response(const std::vector<Exposure_planes>& exposures, const float* times, int n,
                     float coefficients[3][6], Response_table f[3], Response_table f_inv[3],
                     Response_table f_pri[3], Progress& progress);

/// Tabulates the polynomials coefficients[c][0..degree] (level z/255 to linear exposure,
/// clamped to [0, 1], then normalised to end at 1) as f_inv, inverts them into f (levels a
/// non-increasing stretch leaves unset are filled linearly between known ones) and takes
/// f_pri[c][v] = f[c][v + 1] - f[c][v] (the last entry repeats). Non-finite values of the
/// polynomial count as 0.
void tabulate_response(const float coefficients[3][6], int degree, Response_table f[3],
                       Response_table f_inv[3], Response_table f_pri[3]);

/// The sampling steps, exposed for tests. One recovery's working state; each function
/// reads channel state.channel of exposure e.
namespace recovery_detail {

struct Patch_record {
  int32_t x = 0, y = 0;                                // left column, top row
  float mean = 0.f;                                    // of the current channel in this exposure
  uint8_t held = 0;                                    // a slot whose flag is clear is empty
  uint8_t values[k_patch_size][k_patch_size][3] = {};  // RGB; the current channel's written
};

struct Recovery_state {
  std::vector<Exposure_planes> exposures;
  std::vector<float> times;
  int n = 0;
  int32_t width = 0, height = 0;          // sampling area: the first exposure's size
  std::vector<uint8_t> usable;            // per exposure: may hold patches
  std::vector<std::vector<float>> ratio;  // ratio[q][q'] = t[q] / t[q'] for q < q'
  float power[k_max_degree + 1][256] = {};
  std::vector<std::vector<Patch_record>> patches;  // [exposure][slot]
  int channel = 0;
  float err[3][k_max_degree + 1] = {};
  float coef[k_max_degree + 1][3][6] = {};
  std::mt19937 random;  // the patch draws
};

/// Builds the ratio and power tables and empty slots for the exposures.
void init_recovery_state(Recovery_state& s, const std::vector<Exposure_planes>& exposures,
                         const float* times, int n, uint32_t seed);
void reset_patches(Recovery_state& s);
float patch_mean(const Recovery_state& s, int e, int32_t x, int32_t y);
float patch_variance(const Recovery_state& s, int e, float mean, int32_t x, int32_t y);
bool patch_has_clipped_pixel(const Recovery_state& s, int e, int32_t x, int32_t y);
bool patch_overlaps_kept(const Recovery_state& s, int e, int32_t x, int32_t y);
bool mean_not_above_kept(const Recovery_state& s, int e, float mean);
void copy_patch(Recovery_state& s, int e, int slot, int32_t x, int32_t y);
/// Draws positions until one is acceptable for slot of exposure e (true) or more than
/// 10,000 draws failed (false).
bool pick_random_patch(Recovery_state& s, int e, int slot);
/// Fits degrees 1..5 for the current channel into coef and err.
void fit_response_polynomial(Recovery_state& s);
/// The degree chosen from err: each channel's best, then the best by mean error.
int choose_degree(const Recovery_state& s);

}  // namespace recovery_detail

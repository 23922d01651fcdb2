// The inner loop of the merge over a run of pixels, with AVX2 and AVX-512 versions chosen
// once for the processor. All versions do the same single-precision operations in the
// same order, so they give the same bits.
#pragma once
#include <cstddef>
#include <cstdint>

/// Entries of a pair table: for each channel level z and luminance level L, at
/// 2 * (z * 256 + L), the weight W and the weighted irradiance W * Rad of one exposure.
constexpr uint64_t k_pair_table_floats = 2 * 256 * 256;

/// Luminance levels from which an exposure counts as clipped at a pixel: a level this
/// close to white is a lower bound of the irradiance (JPEG noise and rounding leave a
/// saturated area a few levels under 255), one this close to black an upper bound.
constexpr int k_clipped_luminance = 250;
constexpr int k_black_luminance = 5;

/// What a pixel takes where the shortest exposure is clipped (luminance level at least
/// k_clipped_luminance), or the longest black (at most k_black_luminance). A pixel clipped
/// in the shortest exposure is clipped in every longer one too and has no measurement,
/// only a lower bound: a longer exposure left under white by noise gets a real weight from
/// the hat, and its estimate, divided by the longer time, would pull a clipped highlight
/// far darker than the unclipped pixels around it. The shortest exposure attests the
/// largest irradiance there, the longest the smallest. Table [c][z] holds f_inv_c(z) / t
/// of that exposure.
struct Floor_irradiance {
  size_t shortest = 0;  // exposure whose levels are taken where it is clipped
  size_t longest = 0;   // exposure whose levels are taken where it is black
  const float* shortest_rad[3] = {};
  const float* longest_rad[3] = {};
};

/// For each pixel p of [first, first + count) and channel c: with L the luminance level of
/// exposure m at p and z its level in channel c, sums the pairs of table pairs[3m + c] at
/// (z, L) over m = 0..n-1 in that order, then out[c][p] = sum / (weight sum + 1e-12), NaN
/// and negative values made 0 and values beyond the largest float made the largest float.
/// planes[3m + c] is channel c of exposure m. With floor, a pixel at L >= 250 in the
/// shortest exposure takes instead shortest_rad[c][z of the shortest exposure], one at
/// L <= 5 in the longest longest_rad[c][z of the longest], limited in the same way.
void merge_pixels(const uint8_t* const* planes, const float* const* pairs, size_t n, uint64_t first,
                  uint64_t count, float* const out[3], const Floor_irradiance* floor = nullptr);

/// Which version merge_pixels runs: "avx512", "avx2" or "scalar".
const char* merge_kernel_name();

/// Makes merge_pixels run the named version from now on (tests compare them); false, and
/// no change, when this processor lacks it.
bool use_merge_kernel(const char* name);

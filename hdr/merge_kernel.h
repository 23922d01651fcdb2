// The inner loop of the merge over a run of pixels, with AVX2 and AVX-512 versions chosen
// once for the processor. All versions do the same single-precision operations in the
// same order, so they give the same bits.
#pragma once
#include <cstddef>
#include <cstdint>

/// Entries of a pair table: for each channel level z and luminance level L, at
/// 2 * (z * 256 + L), the weight W and the weighted irradiance W * Rad of one exposure.
constexpr uint64_t k_pair_table_floats = 2 * 256 * 256;

/// What a pixel takes where every exposure shows it at luminance level 255, or every one
/// at level 0. Every weight is then at its floor and the mean would be the plain mean of
/// the exposures' estimates: a clipped highlight would come out far darker than the
/// unclipped pixels around it. The shortest exposure attests the largest irradiance there,
/// the longest the smallest. Table [c][z] holds f_inv_c(z) / t of that exposure.
struct Floor_irradiance {
  size_t shortest = 0;  // exposure whose levels are taken where all are at level 255
  size_t longest = 0;   // exposure whose levels are taken where all are at level 0
  const float* shortest_rad[3] = {};
  const float* longest_rad[3] = {};
};

/// For each pixel p of [first, first + count) and channel c: with L the luminance level of
/// exposure m at p and z its level in channel c, sums the pairs of table pairs[3m + c] at
/// (z, L) over m = 0..n-1 in that order, then out[c][p] = sum / (weight sum + 1e-12), NaN
/// and negative values made 0 and values beyond the largest float made the largest float.
/// planes[3m + c] is channel c of exposure m. With floor, a pixel at L = 255 in every
/// exposure takes instead shortest_rad[c][z of the shortest exposure], one at L = 0 in
/// every exposure longest_rad[c][z of the longest], limited in the same way.
void merge_pixels(const uint8_t* const* planes, const float* const* pairs, size_t n, uint64_t first,
                  uint64_t count, float* const out[3], const Floor_irradiance* floor = nullptr);

/// Which version merge_pixels runs: "avx512", "avx2" or "scalar".
const char* merge_kernel_name();

/// Makes merge_pixels run the named version from now on (tests compare them); false, and
/// no change, when this processor lacks it.
bool use_merge_kernel(const char* name);

// The inner loop of the merge over a run of pixels, with AVX2 and AVX-512 versions chosen
// once for the processor. All versions do the same single-precision operations in the
// same order, so they give the same bits.
#pragma once
#include <cstddef>
#include <cstdint>

/// Entries of a pair table: for each channel level z and luminance level L, at
/// 2 * (z * 256 + L), the weight W and the weighted irradiance W * Rad of one exposure.
constexpr uint64_t k_pair_table_floats = 2 * 256 * 256;

/// For each pixel p of [first, first + count) and channel c: with L the luminance level of
/// exposure m at p and z its level in channel c, sums the pairs of table pairs[3m + c] at
/// (z, L) over m = 0..n-1 in that order, then out[c][p] = sum / (weight sum + 1e-12), NaN
/// and negative values made 0 and values beyond the largest float made the largest float.
/// planes[3m + c] is channel c of exposure m.
void merge_pixels(const uint8_t* const* planes, const float* const* pairs, size_t n,
                  uint64_t first, uint64_t count, float* const out[3]);

/// Which version merge_pixels runs: "avx512", "avx2" or "scalar".
const char* merge_kernel_name();

/// Makes merge_pixels run the named version from now on (tests compare them); false, and
/// no change, when this processor lacks it.
bool use_merge_kernel(const char* name);

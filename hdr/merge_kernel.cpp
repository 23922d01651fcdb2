// Vector versions of the merge's inner loop. The sums of a group of pixels stay in
// registers while every exposure is added; the pair-table look-ups become 64-bit gathers
// (one load brings a weight and its weighted irradiance). The luminance is formed with
// separate multiplies and adds (this file is built without contraction into fused
// multiply-adds) so that its truncation matches the scalar form exactly.
#include "hdr/merge_kernel.h"

#include <immintrin.h>

#include <algorithm>
#include <cfloat>
#include <string>

// GCC 12 warns about the deliberately undefined pass-through operand inside its own
// AVX-512 conversion intrinsics.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace {

// Luminance coefficients of HDR creation, summed green, red, blue, then the rounding half.
constexpr float k_lum_r = 0.2126f, k_lum_g = 0.7152f, k_lum_b = 0.0722f;
// Keeps the normalising division finite where every weight is 0.
constexpr float k_tiny = 1e-12f;

inline float limited(float v) {
  // NaN fails the test and becomes 0, as with the vector maximum.
  return v > 0.f ? std::min(v, FLT_MAX) : 0.f;
}

inline float finish_one(float wsum, float sum) { return limited(sum / (wsum + k_tiny)); }

// Pixel p is clipped in the shortest exposure (high) or black in the longest.
void take_floor_irradiance(const uint8_t* const* planes, const Floor_irradiance& floor, uint64_t p,
                           bool high, float* const out[3]) {
  const size_t m = high ? floor.shortest : floor.longest;
  const float* const* rad = high ? floor.shortest_rad : floor.longest_rad;
  for (int c = 0; c < 3; ++c) out[c][p] = limited(rad[c][planes[3 * m + c][p]]);
}

void merge_scalar(const uint8_t* const* planes, const float* const* pairs, size_t n, uint64_t first,
                  uint64_t count, float* const out[3], const Floor_irradiance* floor) {
  // Without floor no exposure is looked at for clipping.
  const size_t shortest = floor ? floor->shortest : n, longest = floor ? floor->longest : n;
  for (uint64_t p = first; p < first + count; ++p) {
    float wsum[3] = {0.f, 0.f, 0.f}, sum[3] = {0.f, 0.f, 0.f};
    bool high = false, low = false;
    for (size_t m = 0; m < n; ++m) {
      const uint8_t z[3] = {planes[3 * m][p], planes[3 * m + 1][p], planes[3 * m + 2][p]};
      const float y = k_lum_g * float(z[1]) + k_lum_r * float(z[0]) + k_lum_b * float(z[2]) + 0.5f;
      const int l = int(y) & 0xff;
      if (m == shortest) high = l >= k_clipped_luminance;
      if (m == longest) low = l <= k_black_luminance;
      for (int c = 0; c < 3; ++c) {
        const float* pair = pairs[3 * m + c] + 2 * (z[c] * 256 + l);
        wsum[c] += pair[0];
        sum[c] += pair[1];
      }
    }
    for (int c = 0; c < 3; ++c) out[c][p] = finish_one(wsum[c], sum[c]);
    if (floor && (high || low)) take_floor_irradiance(planes, *floor, p, high, out);
  }
}

__attribute__((target("avx2"))) inline __m256i levels8(const uint8_t* plane, uint64_t p) {
  return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(plane + p)));
}

__attribute__((target("avx2"))) void merge_avx2(const uint8_t* const* planes,
                                                const float* const* pairs, size_t n, uint64_t first,
                                                uint64_t count, float* const out[3],
                                                const Floor_irradiance* floor) {
  const size_t shortest = floor ? floor->shortest : n, longest = floor ? floor->longest : n;
  const uint64_t end = first + count;
  uint64_t p = first;
  for (; p + 8 <= end; p += 8) {
    // Per channel: (weight, sum) pairs of pixels 0-3 and of pixels 4-7.
    __m256 acc[3][2] = {};
    // Lanes clipped in the shortest exposure, and black in the longest.
    __m256i high = _mm256_setzero_si256(), low = high;
    for (size_t m = 0; m < n; ++m) {
      const __m256i z[3] = {levels8(planes[3 * m], p), levels8(planes[3 * m + 1], p),
                            levels8(planes[3 * m + 2], p)};
      const __m256 y = _mm256_add_ps(
          _mm256_add_ps(
              _mm256_add_ps(_mm256_mul_ps(_mm256_set1_ps(k_lum_g), _mm256_cvtepi32_ps(z[1])),
                            _mm256_mul_ps(_mm256_set1_ps(k_lum_r), _mm256_cvtepi32_ps(z[0]))),
              _mm256_mul_ps(_mm256_set1_ps(k_lum_b), _mm256_cvtepi32_ps(z[2]))),
          _mm256_set1_ps(0.5f));
      const __m256i l = _mm256_and_si256(_mm256_cvttps_epi32(y), _mm256_set1_epi32(0xff));
      if (m == shortest) {
        high = _mm256_cmpgt_epi32(l, _mm256_set1_epi32(k_clipped_luminance - 1));
        // Every lane takes the shortest exposure's estimate: the sums are not needed.
        if (_mm256_movemask_ps(_mm256_castsi256_ps(high)) == 0xff) break;
      }
      if (m == longest) low = _mm256_cmpgt_epi32(_mm256_set1_epi32(k_black_luminance + 1), l);
      for (int c = 0; c < 3; ++c) {
        const __m256i index = _mm256_add_epi32(_mm256_slli_epi32(z[c], 8), l);
        const double* table = reinterpret_cast<const double*>(pairs[3 * m + c]);
        acc[c][0] = _mm256_add_ps(acc[c][0], _mm256_castpd_ps(_mm256_i32gather_pd(
                                                 table, _mm256_castsi256_si128(index), 8)));
        acc[c][1] = _mm256_add_ps(acc[c][1], _mm256_castpd_ps(_mm256_i32gather_pd(
                                                 table, _mm256_extracti128_si256(index, 1), 8)));
      }
    }
    const __m256i only_low = _mm256_andnot_si256(high, low);
    const bool floored = !_mm256_testz_si256(_mm256_or_si256(high, low), _mm256_set1_epi32(-1));
    for (int c = 0; c < 3; ++c) {
      // Weights and sums apart; the shuffle leaves pixels in the order 0 1 4 5 2 3 6 7.
      const __m256 w = _mm256_shuffle_ps(acc[c][0], acc[c][1], _MM_SHUFFLE(2, 0, 2, 0));
      const __m256 s = _mm256_shuffle_ps(acc[c][0], acc[c][1], _MM_SHUFFLE(3, 1, 3, 1));
      const __m256 v = _mm256_div_ps(s, _mm256_add_ps(w, _mm256_set1_ps(k_tiny)));
      __m256 ordered =
          _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(v), _MM_SHUFFLE(3, 1, 2, 0)));
      // Clipped lanes take the shortest exposure's estimate, black ones the longest's.
      if (floored) {
        ordered = _mm256_mask_i32gather_ps(ordered, floor->shortest_rad[c],
                                           levels8(planes[3 * shortest + c], p),
                                           _mm256_castsi256_ps(high), 4);
        ordered = _mm256_mask_i32gather_ps(ordered, floor->longest_rad[c],
                                           levels8(planes[3 * longest + c], p),
                                           _mm256_castsi256_ps(only_low), 4);
      }
      // The maximum returns its second operand for NaN.
      _mm256_storeu_ps(out[c] + p, _mm256_min_ps(_mm256_max_ps(ordered, _mm256_setzero_ps()),
                                                 _mm256_set1_ps(FLT_MAX)));
    }
  }
  merge_scalar(planes, pairs, n, p, end - p, out, floor);
}

__attribute__((target("avx512f"))) inline __m512i levels16(const uint8_t* plane, uint64_t p) {
  return _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(plane + p)));
}

__attribute__((target("avx512f"))) void merge_avx512(const uint8_t* const* planes,
                                                     const float* const* pairs, size_t n,
                                                     uint64_t first, uint64_t count,
                                                     float* const out[3],
                                                     const Floor_irradiance* floor) {
  const __m512i even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
  const __m512i odd = _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31);
  const size_t shortest = floor ? floor->shortest : n, longest = floor ? floor->longest : n;
  const uint64_t end = first + count;
  uint64_t p = first;
  for (; p + 16 <= end; p += 16) {
    // Per channel: (weight, sum) pairs of pixels 0-7 and of pixels 8-15.
    __m512 acc[3][2] = {};
    // Lanes clipped in the shortest exposure, and black in the longest.
    __mmask16 high = 0, low = 0;
    for (size_t m = 0; m < n; ++m) {
      const __m512i z[3] = {levels16(planes[3 * m], p), levels16(planes[3 * m + 1], p),
                            levels16(planes[3 * m + 2], p)};
      const __m512 y = _mm512_add_ps(
          _mm512_add_ps(
              _mm512_add_ps(_mm512_mul_ps(_mm512_set1_ps(k_lum_g), _mm512_cvtepi32_ps(z[1])),
                            _mm512_mul_ps(_mm512_set1_ps(k_lum_r), _mm512_cvtepi32_ps(z[0]))),
              _mm512_mul_ps(_mm512_set1_ps(k_lum_b), _mm512_cvtepi32_ps(z[2]))),
          _mm512_set1_ps(0.5f));
      const __m512i l = _mm512_and_si512(_mm512_cvttps_epi32(y), _mm512_set1_epi32(0xff));
      if (m == shortest) {
        high = _mm512_cmpge_epi32_mask(l, _mm512_set1_epi32(k_clipped_luminance));
        // Every lane takes the shortest exposure's estimate: the sums are not needed.
        if (high == 0xffff) break;
      }
      if (m == longest) low = _mm512_cmple_epi32_mask(l, _mm512_set1_epi32(k_black_luminance));
      for (int c = 0; c < 3; ++c) {
        const __m512i index = _mm512_add_epi32(_mm512_slli_epi32(z[c], 8), l);
        const double* table = reinterpret_cast<const double*>(pairs[3 * m + c]);
        acc[c][0] = _mm512_add_ps(acc[c][0], _mm512_castpd_ps(_mm512_i32gather_pd(
                                                 _mm512_castsi512_si256(index), table, 8)));
        acc[c][1] = _mm512_add_ps(acc[c][1], _mm512_castpd_ps(_mm512_i32gather_pd(
                                                 _mm512_extracti64x4_epi64(index, 1), table, 8)));
      }
    }
    const __mmask16 only_low = __mmask16(low & ~high);
    for (int c = 0; c < 3; ++c) {
      const __m512 w = _mm512_permutex2var_ps(acc[c][0], even, acc[c][1]);
      const __m512 s = _mm512_permutex2var_ps(acc[c][0], odd, acc[c][1]);
      __m512 v = _mm512_div_ps(s, _mm512_add_ps(w, _mm512_set1_ps(k_tiny)));
      // Clipped lanes take the shortest exposure's estimate, black ones the longest's.
      if (high)
        v = _mm512_mask_i32gather_ps(v, high, levels16(planes[3 * shortest + c], p),
                                     floor->shortest_rad[c], 4);
      if (only_low)
        v = _mm512_mask_i32gather_ps(v, only_low, levels16(planes[3 * longest + c], p),
                                     floor->longest_rad[c], 4);
      // The maximum returns its second operand for NaN.
      _mm512_storeu_ps(out[c] + p, _mm512_min_ps(_mm512_max_ps(v, _mm512_setzero_ps()),
                                                 _mm512_set1_ps(FLT_MAX)));
    }
  }
  merge_scalar(planes, pairs, n, p, end - p, out, floor);
}

using Kernel = void (*)(const uint8_t* const*, const float* const*, size_t, uint64_t, uint64_t,
                        float* const[3], const Floor_irradiance*);

struct Choice {
  Kernel kernel;
  const char* name;
};

Choice choose() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) return {merge_avx512, "avx512"};
  if (__builtin_cpu_supports("avx2")) return {merge_avx2, "avx2"};
  return {merge_scalar, "scalar"};
}

Choice& chosen() {
  static Choice c = choose();
  return c;
}

}  // namespace

void merge_pixels(const uint8_t* const* planes, const float* const* pairs, size_t n, uint64_t first,
                  uint64_t count, float* const out[3], const Floor_irradiance* floor) {
  chosen().kernel(planes, pairs, n, first, count, out, n > 0 ? floor : nullptr);
}

const char* merge_kernel_name() { return chosen().name; }

bool use_merge_kernel(const char* name) {
  const std::string wanted = name;
  __builtin_cpu_init();
  if (wanted == "avx512" && __builtin_cpu_supports("avx512f"))
    chosen() = {merge_avx512, "avx512"};
  else if (wanted == "avx2" && __builtin_cpu_supports("avx2"))
    chosen() = {merge_avx2, "avx2"};
  else if (wanted == "scalar")
    chosen() = {merge_scalar, "scalar"};
  else
    return false;
  return true;
}

// SSE2 (the x86-64 baseline) versions of the readers' per-value loops, with scalar tails;
// a plain loop elsewhere. max(0, v) then min(largest, v) in this operand order keep NaN.
#include "core/float_planes.h"

#include "core/image_limits.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)
inline __m128 clamp4(__m128 v) {
  const __m128 zero = _mm_setzero_ps();
  const __m128 top = _mm_set1_ps(3.4028235e38f);
  // max_ps(a, b) is a > b ? a : b and min_ps(a, b) is a < b ? a : b: with v second, a NaN
  // v fails both comparisons and is returned unchanged.
  return _mm_min_ps(top, _mm_max_ps(zero, v));
}
#endif

}  // namespace

void clamp_loaded_values(float* values, uint64_t n) {
  uint64_t i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= n; i += 4) _mm_storeu_ps(values + i, clamp4(_mm_loadu_ps(values + i)));
#endif
  for (; i < n; ++i) values[i] = clamp_loaded_value(values[i]);
}

void split_rgb_clamped(const float* rgb, uint64_t n, float* red, float* green, float* blue) {
  uint64_t i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= n; i += 4) {
    // a0 = r0 g0 b0 r1, a1 = g1 b1 r2 g2, a2 = b2 r3 g3 b3
    const __m128 a0 = _mm_loadu_ps(rgb + 3 * i);
    const __m128 a1 = _mm_loadu_ps(rgb + 3 * i + 4);
    const __m128 a2 = _mm_loadu_ps(rgb + 3 * i + 8);
    const __m128 r23 = _mm_shuffle_ps(a1, a2, _MM_SHUFFLE(0, 1, 0, 2));  // r2 . r3 .
    const __m128 r = _mm_shuffle_ps(a0, r23, _MM_SHUFFLE(2, 0, 3, 0));
    const __m128 g01 = _mm_shuffle_ps(a0, a1, _MM_SHUFFLE(0, 0, 0, 1));  // g0 . g1 .
    const __m128 g23 = _mm_shuffle_ps(a1, a2, _MM_SHUFFLE(0, 2, 0, 3));  // g2 . g3 .
    const __m128 g = _mm_shuffle_ps(g01, g23, _MM_SHUFFLE(2, 0, 2, 0));
    const __m128 b01 = _mm_shuffle_ps(a0, a1, _MM_SHUFFLE(0, 1, 0, 2));  // b0 . b1 .
    const __m128 b23 = _mm_shuffle_ps(a2, a2, _MM_SHUFFLE(0, 3, 0, 0));  // b2 . b3 .
    const __m128 b = _mm_shuffle_ps(b01, b23, _MM_SHUFFLE(2, 0, 2, 0));
    _mm_storeu_ps(red + i, clamp4(r));
    _mm_storeu_ps(green + i, clamp4(g));
    _mm_storeu_ps(blue + i, clamp4(b));
  }
#endif
  for (; i < n; ++i) {
    red[i] = clamp_loaded_value(rgb[3 * i]);
    green[i] = clamp_loaded_value(rgb[3 * i + 1]);
    blue[i] = clamp_loaded_value(rgb[3 * i + 2]);
  }
}

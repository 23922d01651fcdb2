#include "core/float_planes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

const float k_inf = std::numeric_limits<float>::infinity();
const float k_max = std::numeric_limits<float>::max();

// Value i of a sequence holding every special case, at every position of a vector lane.
float special(uint64_t i) {
  const float v[] = {1.5f, -2.f,  k_inf, -k_inf, std::nanf(""), 0.f,
                     -0.f, 3e38f, k_max, 7.f,    1e-40f};
  return v[i % 11];
}

void expect_clamped(float in, float out) {
  if (std::isnan(in))
    EXPECT_TRUE(std::isnan(out));
  else if (in < 0)
    EXPECT_EQ(out, 0.f);
  else if (in > k_max)
    EXPECT_EQ(out, k_max);
  else
    EXPECT_EQ(out, in);
}

TEST(FloatPlanes, ClampKeepsNanForEveryLengthAndLane) {
  for (uint64_t n = 0; n < 23; ++n) {
    std::vector<float> v(n + 1);
    for (uint64_t i = 0; i <= n; ++i) v[i] = special(i + n);
    const float guard = v[n];
    clamp_loaded_values(v.data(), n);
    for (uint64_t i = 0; i < n; ++i) expect_clamped(special(i + n), v[i]);
    EXPECT_EQ(std::memcmp(&v[n], &guard, sizeof guard), 0) << "wrote past the end, n " << n;
  }
}

TEST(FloatPlanes, SplitMatchesPixelOrderForEveryLength) {
  for (uint64_t n = 0; n < 23; ++n) {
    std::vector<float> rgb(3 * n);
    for (uint64_t i = 0; i < 3 * n; ++i) rgb[i] = special(i) * (i % 2 ? 1.f : float(i));
    std::vector<float> r(n + 1, 42.f), g(n + 1, 42.f), b(n + 1, 42.f);
    split_rgb_clamped(rgb.data(), n, r.data(), g.data(), b.data());
    for (uint64_t i = 0; i < n; ++i) {
      expect_clamped(rgb[3 * i], r[i]);
      expect_clamped(rgb[3 * i + 1], g[i]);
      expect_clamped(rgb[3 * i + 2], b[i]);
    }
    EXPECT_EQ(r[n], 42.f);
    EXPECT_EQ(g[n], 42.f);
    EXPECT_EQ(b[n], 42.f);
  }
}

}  // namespace

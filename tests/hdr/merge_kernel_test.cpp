#include "hdr/merge_kernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct Kernel_input {
  static constexpr size_t n = 3;
  static constexpr uint64_t pixels = 1000;  // not a multiple of 8 or 16: tails run too
  std::vector<uint8_t> levels;
  std::vector<float> tables;
  std::vector<const uint8_t*> planes;
  std::vector<const float*> pairs;

  Kernel_input() : levels(n * 3 * pixels), tables(n * 3 * k_pair_table_floats) {
    std::mt19937 rng(11);
    for (auto& v : levels) v = uint8_t(rng());
    std::uniform_real_distribution<float> value(0.f, 2.f);
    for (auto& v : tables) v = value(rng);
    // Entries a broken response can produce must come out the same in every version.
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(), -1.f, -0.f, FLT_MAX};
    for (size_t i = 0; i < tables.size(); i += 97) tables[i] = odd[(i / 97) % 5];
    for (size_t j = 0; j < 3 * n; ++j) {
      planes.push_back(levels.data() + j * pixels);
      pairs.push_back(tables.data() + j * k_pair_table_floats);
    }
  }

  std::vector<float> merge(uint64_t first, uint64_t count,
                           const Floor_irradiance* floor = nullptr) const {
    std::vector<float> out(3 * pixels, -7.f);
    float* const o[3] = {out.data(), out.data() + pixels, out.data() + 2 * pixels};
    merge_pixels(planes.data(), pairs.data(), n, first, count, o, floor);
    return out;
  }
};

// The input with pixels clipped (luminance level 250 or more) in the shortest exposure or
// black (5 or less) in the longest, among them lone ones and runs that fill whole vector
// groups, pixels at the rule's edges, and stand-in tables that tell the shortest
// and longest exposure apart and include values to be limited.
struct Floor_input : Kernel_input {
  std::vector<float> rad;  // [exposure][channel][level]
  Floor_irradiance floor;
  std::vector<uint64_t> high, low;

  Floor_input() : rad(n * 3 * 256) {
    for (uint64_t p : {5ull, 17ull, 18ull, 31ull, 700ull}) high.push_back(p);  // 700: below
    for (uint64_t p = 64; p < 96; ++p) high.push_back(p);
    for (uint64_t p : {9ull, 40ull, 41ull, 511ull}) low.push_back(p);
    for (uint64_t p = 128; p < 144; ++p) low.push_back(p);
    for (size_t m = 0; m < n; ++m)
      for (uint64_t p : high)
        for (size_t c = 0; c < 3; ++c)  // blue may be 254: the luminance level stays 255
          levels[(3 * m + c) * pixels + p] = uint8_t(c == 2 && m == 1 ? 254 : 255);
    for (size_t m = 0; m < n; ++m)
      for (uint64_t p : low)
        for (int c = 0; c < 3; ++c) levels[(3 * m + c) * pixels + p] = c == 0 ? uint8_t(m) : 0;
    // Pixel 700 is not clipped in the shortest exposure, only in the longer ones: the
    // weighted mean.
    levels[(3 * 0 + 1) * pixels + 700] = 100;
    high.erase(std::find(high.begin(), high.end(), 700ull));
    // The rule's edges: grey levels per exposure (luminance level = the grey level), each
    // pixel in a different lane of its vector group. Only the shortest exposure decides a
    // clipped pixel, only the longest a black one; a level under the bound in another
    // exposure changes nothing, nor does a clipped or black level in another.
    const struct {
      uint64_t p;
      uint8_t grey[n];
      int kind;  // 0 the weighted mean, 1 the shortest exposure, 2 the longest
    } edges[] = {
        {200, {250, 250, 250}, 1}, {201, {249, 249, 249}, 0}, {202, {255, 255, 249}, 1},
        {203, {249, 255, 255}, 0}, {204, {100, 100, 255}, 0}, {205, {254, 254, 254}, 1},
        {206, {5, 5, 5}, 2},       {207, {6, 6, 6}, 0},       {208, {6, 5, 5}, 2},
        {209, {5, 5, 6}, 0},       {210, {100, 100, 0}, 2},   {211, {0, 100, 100}, 0},
        {213, {0, 0, 0}, 2},       {214, {255, 255, 255}, 1}, {219, {250, 100, 100}, 1},
        {220, {100, 255, 100}, 0}, {221, {100, 5, 100}, 0},
    };
    for (const auto& e : edges) {
      for (size_t m = 0; m < n; ++m)
        for (int c = 0; c < 3; ++c) levels[(3 * m + c) * pixels + e.p] = e.grey[m];
      if (e.kind == 1) high.push_back(e.p);
      if (e.kind == 2) low.push_back(e.p);
    }
    for (size_t i = 0; i < rad.size(); ++i) rad[i] = float(i % 509) * 0.25f + 1.f;
    rad[(0 * 3 + 1) * 256 + 255] = std::numeric_limits<float>::infinity();
    rad[(2 * 3 + 0) * 256 + 2] = std::numeric_limits<float>::quiet_NaN();
    floor.shortest = 0;
    floor.longest = 2;
    for (int c = 0; c < 3; ++c) {
      floor.shortest_rad[c] = rad.data() + (floor.shortest * 3 + c) * 256;
      floor.longest_rad[c] = rad.data() + (floor.longest * 3 + c) * 256;
    }
  }
};

class MergeKernels : public ::testing::TestWithParam<std::string> {
 protected:
  void TearDown() override { use_merge_kernel(m_default.c_str()); }
  std::string m_default = merge_kernel_name();
};

TEST_P(MergeKernels, GiveTheScalarBits) {
  const Kernel_input input;
  ASSERT_TRUE(use_merge_kernel("scalar"));
  const std::vector<float> expected = input.merge(3, 990);
  if (!use_merge_kernel(GetParam().c_str())) GTEST_SKIP() << GetParam() << " not available";
  const std::vector<float> actual = input.merge(3, 990);
  ASSERT_EQ(0, std::memcmp(expected.data(), actual.data(), expected.size() * sizeof(float)));
  for (size_t i = 0; i < actual.size(); ++i) {
    const uint64_t p = i % Kernel_input::pixels;
    if (p < 3 || p >= 993) {
      ASSERT_EQ(actual[i], -7.f) << i;  // outside the run nothing is written
    } else {
      ASSERT_TRUE(actual[i] >= 0.f && actual[i] <= FLT_MAX) << i << " " << actual[i];
      ASSERT_FALSE(std::signbit(actual[i])) << i;
    }
  }
}

TEST_P(MergeKernels, SumPairsInExposureOrder) {
  if (!use_merge_kernel(GetParam().c_str())) GTEST_SKIP() << GetParam() << " not available";
  // Every level 128 (luminance 128), pairs (1, 2) in exposure 0 and (3, 12) later:
  // (2 + 12 + 12) / (1 + 3 + 3) per pixel.
  const size_t n = 3;
  const uint64_t pixels = 37;
  std::vector<uint8_t> levels(n * 3 * pixels, 128);
  std::vector<float> tables(n * 3 * k_pair_table_floats, 0.f);
  std::vector<const uint8_t*> planes;
  std::vector<const float*> pairs;
  for (size_t j = 0; j < 3 * n; ++j) {
    float* t = tables.data() + j * k_pair_table_floats;
    t[2 * (128 * 256 + 128)] = j < 3 ? 1.f : 3.f;
    t[2 * (128 * 256 + 128) + 1] = j < 3 ? 2.f : 12.f;
    planes.push_back(levels.data() + j * pixels);
    pairs.push_back(t);
  }
  std::vector<float> out(3 * pixels);
  float* const o[3] = {out.data(), out.data() + pixels, out.data() + 2 * pixels};
  merge_pixels(planes.data(), pairs.data(), n, 0, pixels, o);
  for (float v : out) ASSERT_EQ(v, 26.f / (7.f + 1e-12f));
}

TEST_P(MergeKernels, ClippedInTheShortestOrBlackInTheLongestTakesThatExposure) {
  const Floor_input input;
  ASSERT_TRUE(use_merge_kernel("scalar"));
  const std::vector<float> mean = input.merge(0, Kernel_input::pixels);
  if (!use_merge_kernel(GetParam().c_str())) GTEST_SKIP() << GetParam() << " not available";
  const std::vector<float> out = input.merge(0, Kernel_input::pixels, &input.floor);
  const uint64_t pixels = Kernel_input::pixels;
  std::vector<int> kind(pixels, 0);  // 1 high, 2 low
  for (uint64_t p : input.high) kind[p] = 1;
  for (uint64_t p : input.low) kind[p] = 2;
  for (uint64_t p = 0; p < pixels; ++p)
    for (int c = 0; c < 3; ++c) {
      const float v = out[c * pixels + p];
      if (kind[p] == 0) {
        ASSERT_EQ(0, std::memcmp(&v, &mean[c * pixels + p], sizeof v)) << p << " " << c;
        continue;
      }
      const size_t m = kind[p] == 1 ? input.floor.shortest : input.floor.longest;
      const float* table = kind[p] == 1 ? input.floor.shortest_rad[c] : input.floor.longest_rad[c];
      const float t = table[input.levels[(3 * m + c) * pixels + p]];
      const float expected = t > 0.f ? std::min(t, FLT_MAX) : 0.f;  // NaN as 0
      ASSERT_EQ(v, expected) << p << " " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, MergeKernels, ::testing::Values("scalar", "avx2", "avx512"));

}  // namespace

#include "hdr/merge_kernel.h"

#include <gtest/gtest.h>

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

  std::vector<float> merge(uint64_t first, uint64_t count) const {
    std::vector<float> out(3 * pixels, -7.f);
    float* const o[3] = {out.data(), out.data() + pixels, out.data() + 2 * pixels};
    merge_pixels(planes.data(), pairs.data(), n, first, count, o);
    return out;
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

INSTANTIATE_TEST_SUITE_P(Versions, MergeKernels, ::testing::Values("scalar", "avx2", "avx512"));

}  // namespace

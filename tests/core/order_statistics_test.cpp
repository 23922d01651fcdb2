// Selected ranks agree with a full sort, NaN first, with repeats, edges and unsorted ranks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/order_statistics.h"

namespace {

bool nan_first(float a, float b) { return std::isnan(a) ? !std::isnan(b) : a < b; }

class Select_ranks : public ::testing::TestWithParam<int> {};

TEST_P(Select_ranks, AgreeWithAFullSort) {
  std::mt19937 rng(GetParam());
  const uint64_t n = 1 + rng() % 5000;
  std::vector<float> v(n);
  std::uniform_int_distribution<int> level(0, GetParam() % 2 ? 40 : 1000000);
  for (float& x : v) x = float(level(rng)) * 0.5f;
  for (int i = 0; i < GetParam() % 4; ++i) v[rng() % n] = NAN;
  std::vector<float> sorted = v;
  std::sort(sorted.begin(), sorted.end(), nan_first);

  std::vector<uint64_t> ranks = {n - 1, 0, n / 2, n - 1, n + 5};
  for (int i = 0; i < 101; ++i) ranks.push_back(rng() % n);
  select_ranks(v.data(), n, ranks);
  for (uint64_t r : ranks) {
    if (r >= n) continue;
    if (std::isnan(sorted[r]))
      EXPECT_TRUE(std::isnan(v[r])) << r;
    else
      EXPECT_EQ(v[r], sorted[r]) << r;
  }
  // Nothing lost or invented.
  std::sort(v.begin(), v.end(), nan_first);
  for (uint64_t i = 0; i < n; ++i)
    if (!std::isnan(sorted[i])) {
      EXPECT_EQ(v[i], sorted[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, Select_ranks, ::testing::Range(1, 13));

TEST(Select_ranks_edges, EmptyAndSingle) {
  select_ranks(nullptr, 0, {0, 3});
  float one = 4.f;
  select_ranks(&one, 1, {0});
  EXPECT_EQ(one, 4.f);
}

}  // namespace

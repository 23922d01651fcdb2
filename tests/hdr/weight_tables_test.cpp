#include "hdr/weight_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

TEST(TaperTable, Values) {
  const Taper_table t = make_taper_table();
  for (int z = 0; z <= 200; ++z) EXPECT_EQ(t[z], 1.f) << z;
  EXPECT_NEAR(t[225], 0.5f, 1e-6);
  EXPECT_NEAR(t[210], 0.896f, 1e-6);  // u = 0.2: 1 - 0.12 + 0.016
  EXPECT_NEAR(t[249], 0.001184f, 1e-6);
  for (int z = 250; z < 256; ++z) EXPECT_EQ(t[z], 0.f) << z;
  for (int z = 1; z < 256; ++z) EXPECT_LE(t[z], t[z - 1]) << z;
}

class WeightTablesTest : public ::testing::TestWithParam<int> {};

TEST_P(WeightTablesTest, HatOverLuminanceAndPositiveFloor) {
  auto state = std::make_unique<Response_state>();
  int choice = GetParam();
  Message_questions questions;  // sRGB and linear ask nothing
  ASSERT_EQ(select_response(*state, choice, {}, {}, nullptr, questions), 0);
  Weight_tables tables;
  build_weight_tables(state->active, tables);
  for (int c = 0; c < 3; ++c) {
    for (int z = 0; z < 256; ++z) {
      const float* w = tables.row(c, z);
      // The hat is exactly 0 at the ends: only the floor is left.
      EXPECT_EQ(w[0], k_weight_floor) << z;
      EXPECT_EQ(w[255], k_weight_floor) << z;
      const double p = double(state->active.f_pri[c][z]) * state->active.f_inv[c][z];
      // At mid-grey the hat is 1 to within 1e-28.
      EXPECT_NEAR(w[127], p + 1e-6, 3e-7 * (p + 1e-6)) << z;
      for (int l = 1; l < 255; ++l) {
        EXPECT_GE(w[l], k_weight_floor);
        EXPECT_NEAR(w[l], w[255 - l], 1e-6 * w[l]) << z << " " << l;
        const double h = std::pow(l / 127.5 - 1, 12);
        EXPECT_NEAR(w[l], p * (1 - h) + 1e-6, 1e-6 * (p + 1e-6)) << z << " " << l;
      }
    }
    // Level 0 has no irradiance, so only the floor weighs it.
    for (int l = 0; l < 256; ++l) EXPECT_EQ(tables.row(c, 0)[l], k_weight_floor);
  }
}

INSTANTIATE_TEST_SUITE_P(Responses, WeightTablesTest,
                         ::testing::Values(k_response_srgb, k_response_linear));

}  // namespace

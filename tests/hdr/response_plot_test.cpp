// Where response values land in the plot box, including values no pixel row can hold, and
// the two reference curves.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "hdr/response_plot.h"

namespace {

struct Landing {
  float value;
  int expected;  // rows up from the bottom line of a 256-row box
};

class Plot_row_offset : public ::testing::TestWithParam<Landing> {};

TEST_P(Plot_row_offset, LandsOnTheTruncatedRowOrOneBoxBeyondTheEdges) {
  int offset = -12345;
  ASSERT_TRUE(plot_row_offset(GetParam().value, 256, offset));
  EXPECT_EQ(offset, GetParam().expected);
}

constexpr float k_inf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(Values, Plot_row_offset,
                         ::testing::Values(Landing{1.f, 256}, Landing{0.f, 0}, Landing{0.5f, 128},
                                           Landing{0.999f, 255},  // 255.744 truncated
                                           Landing{-0.001f, 0},   // toward zero, not down
                                           Landing{-0.5f, -128}, Landing{1.5f, 384},
                                           // Far outside: held one box height beyond the edge.
                                           Landing{2.5f, 512}, Landing{-7.f, -256},
                                           // The product overflows to infinity in single precision.
                                           Landing{3e38f, 512}, Landing{-3e38f, -256},
                                           Landing{k_inf, 512}, Landing{-k_inf, -256}));

TEST(Plot_row_offset, NotANumberLandsNowhere) {
  int offset = 7;
  EXPECT_FALSE(plot_row_offset(std::numeric_limits<float>::quiet_NaN(), 256, offset));
  EXPECT_EQ(offset, 7);
}

TEST(Reference_curves, GammaAndLinearOverTheWholeRange) {
  std::vector<float> gamma(256, -1.f), linear(256, -1.f);
  fill_reference_curves(256, gamma.data(), linear.data());
  EXPECT_EQ(gamma[0], 0.f);
  EXPECT_EQ(linear[0], 0.f);
  EXPECT_EQ(gamma[255], 1.f);
  EXPECT_EQ(linear[255], 1.f);
  for (int i : {1, 51, 128, 200, 254}) {
    const float s = float(i) / 255.f;
    EXPECT_EQ(linear[i], s) << i;
    EXPECT_EQ(gamma[i], powf(s, 2.2f)) << i;
  }
  EXPECT_NEAR(gamma[128], std::pow(128.0 / 255.0, 2.2), 1e-6);
}

TEST(Reference_curves, FewPointsStayFinite) {
  float gamma[2] = {-1.f, -1.f}, linear[2] = {-1.f, -1.f};
  fill_reference_curves(1, gamma, linear);
  EXPECT_EQ(gamma[0], 0.f);
  EXPECT_EQ(linear[0], 0.f);
  EXPECT_EQ(gamma[1], -1.f);  // nothing past n written
  fill_reference_curves(2, gamma, linear);
  EXPECT_EQ(linear[1], 1.f);
  EXPECT_EQ(gamma[1], 1.f);
}

}  // namespace

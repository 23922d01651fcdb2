#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/bspline.h"

namespace {

const float k_nan = std::numeric_limits<float>::quiet_NaN();
const float k_inf = std::numeric_limits<float>::infinity();

struct Weight_case {
  float x;
  double r;
};

class KernelValues : public ::testing::TestWithParam<Weight_case> {};

TEST_P(KernelValues, Value) {
  EXPECT_NEAR(cubic_bspline_weight(GetParam().x), GetParam().r, 1e-6) << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(Cases, KernelValues,
                         ::testing::Values(Weight_case{0.f, 4.0 / 6}, Weight_case{1.f, 1.0 / 6},
                                           Weight_case{-1.f, 1.0 / 6}, Weight_case{2.f, 0.0},
                                           Weight_case{-2.f, 0.0}, Weight_case{0.5f, 23.0 / 48},
                                           Weight_case{-0.5f, 23.0 / 48},
                                           Weight_case{1.5f, 1.0 / 48},
                                           Weight_case{-1.5f, 1.0 / 48}));

TEST(Kernel, FourWeightsSumToOne) {
  for (float d = 0.f; d < 1.f; d += 0.0625f) {
    const float sum = cubic_bspline_weight(-1.f - d) + cubic_bspline_weight(d) +
                      cubic_bspline_weight(1.f - d) + cubic_bspline_weight(2.f - d);
    EXPECT_NEAR(sum, 1.f, 1e-6) << d;
  }
}

Hdr_image spike(uint32_t w, uint32_t h, uint32_t x, uint32_t y, float v) {
  Hdr_image image(w, h, 1, 3, 0.f);
  image(x, y, 0, 1) = v;
  return image;
}

TEST(Samplers, SinglePixelGivesSixteenThirtySixths) {
  const Hdr_image image = spike(5, 5, 2, 2, 36.f);
  EXPECT_NEAR(cubic_bspline_at(image, 2.f, 2.f, 0, 1), 16.f, 1e-5);
  EXPECT_NEAR(cubic_bspline_at_or(image, 2.f, 2.f, 0, 1, 0.f), 16.f, 1e-5);
  EXPECT_EQ(cubic_bspline_at(image, 2.f, 2.f, 0, 0), 0.f);  // other channel untouched

  Rgb8_image bytes(5, 5, 1, 3, 0);
  bytes(2, 2, 0, 2) = 216;
  EXPECT_NEAR(cubic_bspline_at(bytes, 2.f, 2.f, 0, 2), 96.f, 1e-4);
  EXPECT_NEAR(cubic_bspline_at_or(bytes, 2.f, 2.f, 0, 2, 0), 96.f, 1e-4);
}

TEST(Samplers, IntegerPositionIsOneFourOne) {
  Hdr_image row(4, 1, 1, 1, 0.f);
  const float v[] = {1.f, 2.f, 10.f, 3.f};
  for (int x = 0; x < 4; ++x) row(x, 0) = v[x];
  EXPECT_NEAR(cubic_bspline_at(row, 1.f, 0.f, 0, 0), 19.f / 6, 1e-5);
  // At the left edge the clamped neighbour repeats the edge: (1 + 4 + 2) / 6.
  EXPECT_NEAR(cubic_bspline_at(row, 0.f, 0.f, 0, 0), 7.f / 6, 1e-5);
  // Half way: weights 1/48, 23/48, 23/48, 1/48 over columns 0..3.
  EXPECT_NEAR(cubic_bspline_at(row, 1.5f, 0.f, 0, 0), (1 + 2 * 23 + 10 * 23 + 3) / 48.f, 1e-5);
}

TEST(Samplers, ConstantImageEverywhere) {
  const Hdr_image image(4, 3, 1, 3, 2.5f);
  Rgb8_image bytes(4, 3, 1, 3, 200);
  const float positions[][2] = {{0, 0}, {3, 2}, {1.25f, 0.75f}, {-5, -5}, {7, 9}, {3.9f, 0.1f}};
  for (const auto& p : positions) {
    EXPECT_NEAR(cubic_bspline_at(image, p[0], p[1], 0, 0), 2.5f, 1e-5);
    EXPECT_NEAR(cubic_bspline_at(bytes, p[0], p[1], 0, 2), 200.f, 1e-3);
  }
  // Inside, where no neighbour falls outside, the border rules agree.
  EXPECT_NEAR(cubic_bspline_at_or(image, 1.5f, 1.f, 0, 0, 0.f), 2.5f, 1e-5);
}

TEST(Samplers, ClampedPositions) {
  Hdr_image image(4, 3, 1, 1, 0.f);
  for (uint64_t i = 0; i < image.size(); ++i) image.data()[i] = float(i * i % 7);
  EXPECT_EQ(cubic_bspline_at(image, -5.f, 1.f, 0, 0), cubic_bspline_at(image, 0.f, 1.f, 0, 0));
  EXPECT_EQ(cubic_bspline_at(image, 4.f + 3.f, 1.f, 0, 0), cubic_bspline_at(image, 3.f, 1.f, 0, 0));
  EXPECT_EQ(cubic_bspline_at(image, 1.f, 50.f, 0, 0), cubic_bspline_at(image, 1.f, 2.f, 0, 0));
  // Positions that are not numbers sample as 0 or the far edge, never outside memory.
  EXPECT_EQ(cubic_bspline_at(image, k_nan, k_nan, 0, 0), cubic_bspline_at(image, 0.f, 0.f, 0, 0));
  EXPECT_EQ(cubic_bspline_at(image, k_inf, -k_inf, 0, 0), cubic_bspline_at(image, 3.f, 0.f, 0, 0));
}

TEST(Samplers, OutsideValueBeyondTheEdges) {
  const Hdr_image image(4, 3, 1, 1, 6.f);
  // One pixel beyond the right edge: only the edge column, weight 1/6, lies inside.
  EXPECT_NEAR(cubic_bspline_at_or(image, 4.f, 1.f, 0, 0, 0.f), 1.f, 1e-5);
  EXPECT_NEAR(cubic_bspline_at_or(image, 4.f, 1.f, 0, 0, 6.f), 6.f, 1e-5);
  // -0.5 takes the cell from -1: columns -2..1 weigh 1/48, 23/48, 23/48, 1/48.
  EXPECT_NEAR(cubic_bspline_at_or(image, -0.5f, 1.f, 0, 0, 0.f), 3.f, 1e-5);
  // -2.0 takes the cell from -3: every neighbour is outside.
  EXPECT_NEAR(cubic_bspline_at_or(image, -2.f, 1.f, 0, 0, 0.f), 0.f, 1e-6);
  EXPECT_NEAR(cubic_bspline_at_or(image, -2.f, 1.f, 0, 0, 7.f), 7.f, 1e-5);
  // Far away and non-finite positions take the outside value.
  EXPECT_NEAR(cubic_bspline_at_or(image, 1e20f, 1.f, 0, 0, 0.5f), 0.5f, 1e-6);
  EXPECT_EQ(cubic_bspline_at_or(image, k_nan, 1.f, 0, 0, 0.5f), 0.5f);
  EXPECT_EQ(cubic_bspline_at_or(image, 1.f, -k_inf, 0, 0, 0.5f), 0.5f);

  Rgb8_image bytes(4, 3, 1, 3, 60);
  EXPECT_NEAR(cubic_bspline_at_or(bytes, 1.f, -1.f, 0, 0, 0), 10.f, 1e-4);  // row above
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/color_xyz.h"
#include "core/hdr_image.h"

namespace {

Hdr_image pixel(float a, float b, float c) {
  Hdr_image image(1, 1, 1, 3, 0.f);
  image(0, 0, 0, 0) = a;
  image(0, 0, 0, 1) = b;
  image(0, 0, 0, 2) = c;
  return image;
}

struct Xyz_case {
  bool forward;
  float in[3];
  float out[3];
};

class XyzTable : public ::testing::TestWithParam<Xyz_case> {};

TEST_P(XyzTable, Matrix) {
  const Xyz_case& c = GetParam();
  Hdr_image image = pixel(c.in[0], c.in[1], c.in[2]);
  if (c.forward)
    rgb_to_xyz(image);
  else
    xyz_to_rgb(image);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(image(0, 0, 0, k), c.out[k], 2e-6) << "channel " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XyzTable,
    ::testing::Values(Xyz_case{true, {1, 1, 1}, {0.950467f, 0.9999996f, 1.0889694f}},
                      Xyz_case{true, {1, 0, 0}, {0.412424f, 0.212656f, 0.0193324f}},
                      Xyz_case{true, {0, 1, 0}, {0.357579f, 0.715158f, 0.119193f}},
                      Xyz_case{true, {0, 0, 1}, {0.180464f, 0.0721856f, 0.950444f}},
                      Xyz_case{false, {1, 0, 0}, {3.24071f, 0.f, 0.0556352f}},
                      Xyz_case{false, {0, 1, 0}, {0.f, 1.87599f, 0.f}},
                      Xyz_case{false, {0, 0, 1}, {0.f, 0.0415557f, 1.05707f}},
                      // Negative inputs clamp the forward results too.
                      Xyz_case{true, {-1, -1, -1}, {0.f, 0.f, 0.f}}));

TEST(Xyz, RoundTripOfAnOrdinaryColour) {
  Hdr_image image = pixel(0.3f, 0.5f, 0.2f);
  rgb_to_xyz(image);
  xyz_to_rgb(image);
  EXPECT_NEAR(image(0, 0, 0, 0), 0.3f, 1e-4);
  EXPECT_NEAR(image(0, 0, 0, 1), 0.5f, 1e-4);
  EXPECT_NEAR(image(0, 0, 0, 2), 0.2f, 1e-4);
}

TEST(Xyz, NanPassesTheClamp) {
  Hdr_image image = pixel(std::numeric_limits<float>::quiet_NaN(), 0.f, 0.f);
  rgb_to_xyz(image);
  EXPECT_TRUE(std::isnan(image(0, 0, 0, 0)));
}

}  // namespace

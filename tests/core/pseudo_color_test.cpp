#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/color_space.h"
#include "core/hdr_image.h"
#include "core/pseudo_color.h"

namespace {

struct Entry_case {
  int index;
  int r, g, b;
};

class PseudoColorTable : public ::testing::TestWithParam<Entry_case> {};

TEST_P(PseudoColorTable, Entry) {
  const Entry_case& c = GetParam();
  const auto& e = pseudo_color_table()[c.index];
  EXPECT_NEAR(e[0] * 255.f, c.r, 1e-4) << c.index;
  EXPECT_NEAR(e[1] * 255.f, c.g, 1e-4) << c.index;
  EXPECT_NEAR(e[2] * 255.f, c.b, 1e-4) << c.index;
}

// Both ends of every range of the ramp.
INSTANTIATE_TEST_SUITE_P(
    Boundaries, PseudoColorTable,
    ::testing::Values(Entry_case{0, 251, 0, 255}, Entry_case{40, 51, 0, 255},
                      Entry_case{41, 47, 0, 255}, Entry_case{50, 2, 0, 255},
                      Entry_case{51, 0, 3, 255}, Entry_case{101, 0, 253, 255},
                      Entry_case{102, 0, 255, 253}, Entry_case{152, 0, 255, 3},
                      Entry_case{153, 2, 255, 0}, Entry_case{162, 47, 255, 0},
                      Entry_case{163, 51, 255, 0}, Entry_case{203, 251, 255, 0},
                      Entry_case{204, 255, 254, 0}, Entry_case{224, 255, 154, 0},
                      Entry_case{225, 255, 150, 0}, Entry_case{255, 255, 0, 0}));

Hdr_image grey_row(std::initializer_list<float> values) {
  Hdr_image image(uint32_t(values.size()), 1, 1, 3, 0.f);
  int x = 0;
  for (float v : values) {
    for (int c = 0; c < 3; ++c) image(x, 0, 0, c) = v;
    ++x;
  }
  return image;
}

void expect_entry(const Hdr_image& out, int x, int index) {
  const auto& e = pseudo_color_table()[index];
  for (int c = 0; c < 3; ++c)
    EXPECT_NEAR(out(x, 0, 0, c), e[c] * 255.f, 1e-3) << "pixel " << x << " entry " << index;
}

Hdr_image pseudo(const Hdr_image& in) {
  Hdr_image out(in.width(), in.height(), 1, 3, -1.f);
  transform_color_space(Color_space_params{}, in, out);
  return out;
}

TEST(PseudoColor, DarkestIsMagentaBrightestIsRed) {
  const Hdr_image out = pseudo(grey_row({10.f, 200.f, 50.f}));
  expect_entry(out, 0, 0);
  expect_entry(out, 1, 255);
  // ln of the linearised luminance, placed between the ends.
  const double lo = std::log(std::pow(10.0, 2.2) + 1e-6),
               hi = std::log(std::pow(200.0, 2.2) + 1e-6);
  const int mid = int((std::log(std::pow(50.0, 2.2)) - lo) / (hi - lo) * 255 + 0.5);
  expect_entry(out, 2, mid);
}

TEST(PseudoColor, UniformImageIsEntryZero) {
  const Hdr_image out = pseudo(grey_row({80.f, 80.f, 80.f}));
  for (int x = 0; x < 3; ++x) expect_entry(out, x, 0);
}

// For these bright greys logf rounds the log above ln(L + 1e-6): that rounding is no
// range and must not move a uniform image up the ramp.
TEST(PseudoColor, UniformBrightImageIsEntryZero) {
  for (const float v : {33063.f, 37336.f, 47660.5f}) {
    const Hdr_image out = pseudo(grey_row({v, v}));
    expect_entry(out, 0, 0);
    expect_entry(out, 1, 0);
  }
}

// Black has log luminance -inf; NaN and overflowing pixels have no place on the ramp.
// None may become an index outside the table or spoil the other pixels' scale.
TEST(PseudoColor, BlackNanAndOverflowStayOnTheRamp) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Hdr_image out = pseudo(grey_row({0.f, 10.f, nan, 3e38f, 200.f}));
  expect_entry(out, 0, 0);
  expect_entry(out, 2, 0);
  expect_entry(out, 3, 255);
  expect_entry(out, 4, 255);
  // 0 is the darkest finite value, so 10 lies inside the ramp, not at its start.
  const double lo = std::log(1e-6), hi = std::log(std::pow(200.0, 2.2) + 1e-6);
  expect_entry(out, 1, int((std::log(std::pow(10.0, 2.2)) - lo) / (hi - lo) * 255 + 0.5));
}

TEST(PseudoColor, InPlace) {
  Hdr_image image = grey_row({10.f, 200.f});
  transform_color_space(Color_space_params{}, image, image);
  expect_entry(image, 0, 0);
  expect_entry(image, 1, 255);
}

}  // namespace

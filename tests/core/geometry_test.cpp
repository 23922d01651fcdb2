#include "core/geometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct Rect_case {
  int r[8];
  bool expected;
};

void PrintTo(const Rect_case& c, std::ostream* os) {
  *os << c.r[0] << "," << c.r[1] << "," << c.r[2] << "," << c.r[3] << "/" << c.r[4] << "," << c.r[5]
      << "," << c.r[6] << "," << c.r[7];
}

class Rects_intersect : public ::testing::TestWithParam<Rect_case> {};

TEST_P(Rects_intersect, overlap_with_touching_edges_counting) {
  const int* r = GetParam().r;
  EXPECT_EQ(rects_intersect(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]), GetParam().expected);
  // Overlap is symmetric.
  EXPECT_EQ(rects_intersect(r[4], r[5], r[6], r[7], r[0], r[1], r[2], r[3]), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rects_intersect,
    ::testing::Values(Rect_case{{0, 0, 10, 10, 10, 10, 20, 20}, true},    // shared corner
                      Rect_case{{0, 0, 10, 10, 11, 0, 20, 10}, false},    // one pixel apart
                      Rect_case{{0, 0, 10, 10, 0, 11, 10, 20}, false},    // below
                      Rect_case{{0, 0, 100, 100, 40, 40, 50, 50}, true},  // contained
                      Rect_case{{5, 5, 6, 6, 0, 0, 100, 100}, true},      // containing
                      Rect_case{{0, 0, 10, 10, -20, -20, -1, -1}, false}));

struct Fit_case {
  std::uint32_t box_w, box_h, w, h;
  float expected;
};

void PrintTo(const Fit_case& c, std::ostream* os) {
  *os << c.box_w << "x" << c.box_h << "/" << c.w << "x" << c.h;
}

class Fit_scale : public ::testing::TestWithParam<Fit_case> {};

TEST_P(Fit_scale, smaller_of_the_two_ratios) {
  const auto& c = GetParam();
  EXPECT_FLOAT_EQ(fit_scale(c.box_w, c.box_h, c.w, c.h), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Fit_scale,
                         ::testing::Values(Fit_case{128, 128, 512, 256, 0.25f},
                                           Fit_case{128, 128, 64, 32, 2.0f},
                                           Fit_case{1920, 1080, 3840, 1080, 0.5f},
                                           Fit_case{128, 128, 0, 256, 1.0f},  // empty image
                                           Fit_case{128, 128, 256, 0, 1.0f},
                                           Fit_case{128, 128, 0, 0, 1.0f}));

}  // namespace

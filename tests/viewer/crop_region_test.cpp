// The crop dialog's region check and the range it keeps.
#include <gtest/gtest.h>

#include "viewer/crop_region.h"
#include "viewer/field_numbers.h"

TEST(Crop_region, RegionsInsideTheImageAreKeptOrdered) {
  struct Case {
    int64_t x, y, w, h;
    int64_t x0, y0, x1, y1;
  } cases[] = {
      {0, 0, 40, 30, 0, 0, 39, 29},    // the defaults keep everything
      {39, 29, 1, 1, 39, 29, 39, 29},  // one pixel in the far corner
      {5, 3, 0, 0, 4, 2, 5, 3},        // width 0: x1 = 4, columns 4 and 5
      {5, 3, -3, -2, 1, 0, 5, 3},      // negative sizes: x1 = 1, y1 = 0
      {10, 10, 5, 5, 10, 10, 14, 14},
  };
  for (const Case& c : cases) {
    Crop_region r;
    ASSERT_TRUE(crop_region(c.x, c.y, c.w, c.h, 40, 30, r)) << c.x << "," << c.y;
    EXPECT_EQ(r.x0, c.x0);
    EXPECT_EQ(r.y0, c.y0);
    EXPECT_EQ(r.x1, c.x1);
    EXPECT_EQ(r.y1, c.y1);
    EXPECT_TRUE(region_fits(r, 40, 30));
  }
}

TEST(Crop_region, RegionsReachingOutsideAreRefused) {
  constexpr int64_t big = k_field_integer_limit;
  struct Case {
    int64_t x, y, w, h;
  } cases[] = {
      {1, 0, 40, 30},  // x1 equals the width
      {0, 1, 40, 30},
      {-1, 0, 10, 10},
      {0, -1, 10, 10},
      {40, 0, 1, 1},
      {0, 0, 0, 30},  // x1 = -1
      {5, 3, -6, 1},  // x1 = -2
      {0, 0, 41, 30},
      {big, big, big, big},  // no overflow in the far corner
      {-big, -big, -big, -big},
      {0, 0, big, 1},
  };
  for (const Case& c : cases) {
    Crop_region r;
    EXPECT_FALSE(crop_region(c.x, c.y, c.w, c.h, 40, 30, r))
        << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
  Crop_region r;
  EXPECT_FALSE(crop_region(0, 0, 1, 1, 0, 0, r));  // an image without pixels
}

TEST(Crop_region, FitsOnlyImagesThatHoldIt) {
  Crop_region r;
  ASSERT_TRUE(crop_region(10, 10, 20, 10, 40, 30, r));
  EXPECT_TRUE(region_fits(r, 30, 20));
  EXPECT_FALSE(region_fits(r, 29, 20));
  EXPECT_FALSE(region_fits(r, 30, 19));
}

// The resize dialog's arithmetic: linked sides, unit switch, target sizes and their
// refusals, and the method's interpolation code.
#include <gtest/gtest.h>

#include <limits>

#include "core/image_limits.h"
#include "viewer/field_numbers.h"
#include "viewer/resize_size.h"

namespace {

constexpr double k_inf = std::numeric_limits<double>::infinity();
constexpr double k_nan = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(Resize_size, MethodItemsGiveTheirInterpolationCodes) {
  EXPECT_EQ(resize_interpolation(0), 1);
  EXPECT_EQ(resize_interpolation(1), 3);
  EXPECT_EQ(resize_interpolation(2), 5);
  EXPECT_EQ(resize_interpolation(-1), 1);
  EXPECT_EQ(resize_interpolation(3), 1);
}

TEST(Resize_size, LinkedSideKeepsTheAspectRoundingDownToAtLeastOne) {
  struct Case {
    int64_t value;
    uint32_t from, to;
    int64_t expected;
  } cases[] = {
      {1000, 4000, 3000, 750},  // the other side follows the typed one
      {1, 4000, 3000, 1},       // 0.75 rounds down, then the minimum applies
      {0, 4000, 3000, 1},       // an emptied field
      {-50, 4000, 3000, 1},
      {750, 3000, 4000, 1000},  // the mirror direction
      {4001, 4000, 3000, 3000},
      {10, 0, 7, 70},  // a zero reference side counts as 1
      {k_field_integer_limit, 1, 4000, k_max_pixel_field},
  };
  for (const Case& c : cases)
    EXPECT_EQ(linked_pixel_side(c.value, c.from, c.to), c.expected)
        << c.value << " of " << c.from << " -> " << c.to;
}

TEST(Resize_size, UnitSwitchGoesThereAndBack) {
  // 1000 x 750 of a 4000 x 3000 image is 25 % both ways, and back again.
  EXPECT_FLOAT_EQ(pixels_to_percent(1000, 4000), 25.f);
  EXPECT_FLOAT_EQ(pixels_to_percent(750, 3000), 25.f);
  EXPECT_EQ(percent_to_pixels(25.0, 4000), 1000);
  EXPECT_EQ(percent_to_pixels(25.0, 3000), 750);
  EXPECT_FLOAT_EQ(pixels_to_percent(7, 0), 700.f);  // no division by zero
  struct Case {
    double percent;
    uint32_t ref;
    int64_t expected;
  } cases[] = {
      {33.3333, 4000, 1333},
      {100.0, 1, 1},
      {0.001, 4000, 1},
      {-20.0, 4000, 1},
      {0.0, 4000, 1},
      {k_nan, 4000, 1},
      {k_inf, 4000, k_max_pixel_field},
      {1e30, 4000, k_max_pixel_field},
  };
  for (const Case& c : cases)
    EXPECT_EQ(percent_to_pixels(c.percent, c.ref), c.expected) << c.percent << "% of " << c.ref;
}

TEST(Resize_size, TargetSizes) {
  struct Case {
    double w, h;
    bool percent;
    uint32_t ref_w, ref_h;
    Resize_check check;
    uint32_t width, height;
  } cases[] = {
      {50, 50, true, 4000, 3000, Resize_check::ok, 2000, 1500},
      {33.3333, 33.3333, true, 4000, 3000, Resize_check::ok, 1333, 999},
      {0.001, 0.001, true, 4000, 3000, Resize_check::ok, 1, 1},  // never below one pixel
      {640, 480.9, false, 4000, 3000, Resize_check::ok, 640, 480},
      {0.5, 0.5, false, 4000, 3000, Resize_check::ok, 1, 1},
      {0, 480, false, 4000, 3000, Resize_check::not_positive, 0, 0},
      {640, -1, false, 4000, 3000, Resize_check::not_positive, 0, 0},
      {k_nan, 480, false, 4000, 3000, Resize_check::not_positive, 0, 0},
      {-50, 50, true, 4000, 3000, Resize_check::not_positive, 0, 0},
      // Exactly the largest image the program holds, and one row more.
      {65536, 32768, false, 1, 1, Resize_check::ok, 65536, 32768},
      {65536, 32769, false, 1, 1, Resize_check::too_large, 0, 0},
      {1e12, 1, false, 1, 1, Resize_check::too_large, 0, 0},
      {k_inf, 10, false, 1, 1, Resize_check::too_large, 0, 0},
      {1e9, 1e9, true, 4000, 3000, Resize_check::too_large, 0, 0},
  };
  for (const Case& c : cases) {
    const Resize_target t = resize_target(c.w, c.h, c.percent, c.ref_w, c.ref_h);
    EXPECT_EQ(t.check, c.check) << c.w << " x " << c.h << (c.percent ? " %" : " px");
    if (c.check != Resize_check::ok) continue;
    EXPECT_EQ(t.width, c.width) << c.w;
    EXPECT_EQ(t.height, c.height) << c.h;
    EXPECT_TRUE(image_size_ok(t.width, t.height));
  }
}

#include "core/image_orient.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/hdr_image.h"
#include "tests/support/image_compare.h"

namespace {

// Every value distinct: plane c, row y, column x holds c*10000 + y*100 + x.
Hdr_image numbered(int w, int h) {
  Hdr_image img(w, h, 1, 3, 0.f);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img(x, y, 0, c) = float(c * 10000 + y * 100 + x);
  img.type = k_type_exr;
  return img;
}

TEST(RotateQuarterTurns, ClockwiseMovesEveryPixel) {
  const Hdr_image src = numbered(5, 3);
  Hdr_image img = src;
  rotate_quarter_turns(img, 90);
  ASSERT_EQ(img.width(), 3);
  ASSERT_EQ(img.height(), 5);
  // Clockwise: the left column, read bottom to top, becomes the top row.
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(img(x, y, 0, c), src(y, 2 - x, 0, c));
  EXPECT_EQ(img.type, uint32_t(k_type_exr));
}

TEST(RotateQuarterTurns, CounterClockwiseMovesEveryPixel) {
  const Hdr_image src = numbered(5, 3);
  Hdr_image img = src;
  rotate_quarter_turns(img, -90);
  ASSERT_EQ(img.width(), 3);
  ASSERT_EQ(img.height(), 5);
  // Counter-clockwise: the right column, read top to bottom, becomes the top row.
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(img(x, y, 0, c), src(4 - y, x, 0, c));
}

TEST(RotateQuarterTurns, LeftThenRightRestoresAndHalfTurnIsTwoQuarters) {
  const Hdr_image src = numbered(300, 200);
  Hdr_image img = src;
  rotate_quarter_turns(img, -90);
  EXPECT_EQ(img.width(), 200);
  EXPECT_EQ(img.height(), 300);
  rotate_quarter_turns(img, 90);
  EXPECT_TRUE(images_match(src, img));
  Hdr_image twice = src, half = src;
  rotate_quarter_turns(twice, 90);
  rotate_quarter_turns(twice, 90);
  rotate_quarter_turns(half, 180);
  EXPECT_TRUE(images_match(half, twice));
  rotate_quarter_turns(half, 360);
  EXPECT_TRUE(images_match(half, twice));
}

TEST(RotateQuarterTurns, OtherAnglesAreRefused) {
  Hdr_image img = numbered(4, 4);
  EXPECT_THROW(rotate_quarter_turns(img, 45), std::invalid_argument);
  EXPECT_THROW(rotate_quarter_turns(img, -1), std::invalid_argument);
}

TEST(FlipImage, HorizontalReversesRowsVerticalReversesRowOrder) {
  const Hdr_image src = numbered(4, 3);
  Hdr_image hx = src, vy = src;
  flip_image(hx, 'x');
  flip_image(vy, 'y');
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(hx(x, y, 0, c), src(3 - x, y, 0, c));
        EXPECT_EQ(vy(x, y, 0, c), src(x, 2 - y, 0, c));
      }
  flip_image(vy, 'y');
  EXPECT_TRUE(images_match(src, vy));
  EXPECT_THROW(flip_image(vy, 'z'), std::invalid_argument);
}

TEST(Orient, EmptyImageStaysEmpty) {
  Hdr_image img;
  rotate_quarter_turns(img, 90);
  flip_image(img, 'x');
  EXPECT_TRUE(img.is_empty());
}

}  // namespace

#include "core/image_orient.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "core/hdr_image.h"
#include "tests/support/image_compare.h"
#include "tests/support/oriented_jpeg.h"

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
  orient_image(img, 6);
  EXPECT_TRUE(img.is_empty());
}

// Every EXIF Orientation code moves each stored pixel to where the EXIF definition shows
// it, alike on a float image, on 8-bit planes and on interleaved 8-bit pixels; codes
// outside 1..8 move nothing.
TEST(OrientExif, EveryCodeShowsTheStoredPictureUpright) {
  const uint32_t sw = 5, sh = 3;
  const Hdr_image stored = numbered(int(sw), int(sh));
  std::vector<uint8_t> planes(size_t(sw) * sh * 3), pixels(planes.size());
  for (uint32_t c = 0; c < 3; ++c)
    for (uint32_t y = 0; y < sh; ++y)
      for (uint32_t x = 0; x < sw; ++x) {
        const uint8_t v = uint8_t(c * 60 + y * sw + x);
        planes[(c * sh + y) * sw + x] = v;
        pixels[(y * sw + x) * 3 + c] = v;
      }
  for (uint32_t code = 0; code <= 9; ++code) {
    SCOPED_TRACE(code);
    const bool swapped = code >= 5 && code <= 8;
    const uint32_t w = swapped ? sh : sw, h = swapped ? sw : sh;
    const Orientation_walk walk = orientation_walk(code, sw, sh);
    EXPECT_EQ(walk.shown_w, w);
    EXPECT_EQ(walk.shown_h, h);
    Hdr_image img = stored;
    orient_image(img, code);
    std::vector<uint8_t> out_planes(planes.size()), out_pixels(pixels.size());
    orient_planar(planes.data(), out_planes.data(), sw, sh, 3, code);
    orient_interleaved(pixels.data(), out_pixels.data(), sw, sh, 3, code);
    ASSERT_EQ(uint32_t(img.width()), w);
    ASSERT_EQ(uint32_t(img.height()), h);
    EXPECT_EQ(img.type, uint32_t(k_type_exr));
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        uint32_t sx = 0, sy = 0;
        stored_position(int(code), x, y, sw, sh, sx, sy);
        for (uint32_t c = 0; c < 3; ++c) {
          ASSERT_EQ(img(int(x), int(y), 0, int(c)), stored(int(sx), int(sy), 0, int(c)))
              << x << "," << y;
          ASSERT_EQ(out_planes[(c * h + y) * w + x], planes[(c * sh + sy) * sw + sx]);
          ASSERT_EQ(out_pixels[(y * w + x) * 3 + c], pixels[(sy * sw + sx) * 3 + c]);
        }
      }
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/bspline.h"
#include "core/bspline_resample.h"
#include "tests/support/image_compare.h"

namespace {

// Exact equality of size and values (CImg's own operator== takes no derived class).
bool same(const cimg_library::CImg<float>& a, const cimg_library::CImg<float>& b) { return a == b; }

Hdr_image varied(uint32_t w, uint32_t h, uint32_t channels = 3) {
  Hdr_image image(w, h, 1, channels, 0.f);
  for (uint64_t i = 0; i < image.size(); ++i) image.data()[i] = float((i * 7919) % 97);
  return image;
}

struct Position_case {
  uint32_t in, out;
  std::vector<double> positions;
};

class SourcePositions : public ::testing::TestWithParam<Position_case> {};

TEST_P(SourcePositions, Rule) {
  const Position_case& c = GetParam();
  for (uint32_t i = 0; i < c.out; ++i)
    EXPECT_DOUBLE_EQ(bspline_source_position(i, c.in, c.out), c.positions[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SourcePositions,
    ::testing::Values(Position_case{3, 5, {0, 0.5, 1, 1.5, 2}},  // enlarging: ends meet
                      Position_case{2, 3, {0, 0.5, 1}},
                      Position_case{6, 3, {0, 2, 4}},  // shrinking: steps of in / out
                      Position_case{5, 2, {0, 2.5}}, Position_case{1, 3, {0, 0, 0}},
                      Position_case{4, 4, {0, 1, 2, 3}}));

// Every output value is the clamped sampler at the mapped position.
TEST(BsplineResize, ValuesAreTheSamplerAtMappedPositions) {
  const Hdr_image image = varied(7, 5);
  const uint32_t sizes[][2] = {{11, 3}, {3, 9}, {14, 10}, {2, 2}};
  for (const auto& s : sizes) {
    const cimg_library::CImg<float> out = resized_bspline(image, s[0], s[1]);
    ASSERT_EQ(out.width(), int(s[0]));
    ASSERT_EQ(out.height(), int(s[1]));
    ASSERT_EQ(out.spectrum(), 3);
    for (uint32_t c = 0; c < 3; ++c)
      for (uint32_t y = 0; y < s[1]; ++y)
        for (uint32_t x = 0; x < s[0]; ++x) {
          const float px = float(bspline_source_position(x, 7, s[0]));
          const float py = float(bspline_source_position(y, 5, s[1]));
          EXPECT_NEAR(out(x, y, 0, c), cubic_bspline_at(image, px, py, 0, c), 1e-4)
              << s[0] << "x" << s[1] << " at " << x << "," << y << "," << c;
        }
  }
}

// An axis that keeps its size is copied, not smoothed, as the library does.
TEST(BsplineResize, UnchangedAxisIsNotFiltered) {
  const Hdr_image image = varied(6, 4, 1);
  const cimg_library::CImg<float> out = resized_bspline(image, 6, 7);
  for (uint32_t y = 0; y < 7; ++y)
    for (uint32_t x = 0; x < 6; ++x) {
      const float py = float(bspline_source_position(y, 4, 7));
      // Sampling a one-column image filters along y only.
      Hdr_image column(1, 4, 1, 1, 0.f);
      for (int r = 0; r < 4; ++r) column(0, r) = image(x, r);
      EXPECT_NEAR(out(x, y), cubic_bspline_at(column, 0.f, py, 0, 0), 1e-4);
    }
  const cimg_library::CImg<float> unchanged = resized_bspline(image, 6, 4);
  EXPECT_TRUE(same(unchanged, image));
}

// The B-spline weights are never negative: no ringing below 0 or above the peak, unlike
// an interpolating cubic.
TEST(BsplineResize, NeverOvershoots) {
  Hdr_image image(16, 16, 1, 3, 0.f);
  for (int y = 0; y < 16; ++y)
    for (int x = 8; x < 16; ++x)
      for (int c = 0; c < 3; ++c) image(x, y, 0, c) = 100.f;  // step edge
  image(3, 3, 0, 0) = 1000.f;                                 // spike
  for (const uint32_t size : {5u, 37u}) {
    const cimg_library::CImg<float> out = resized_bspline(image, size, size);
    EXPECT_GE(out.min(), 0.f) << size;
    EXPECT_LT(out.get_shared_channel(0).max(), 1000.f) << size;
    EXPECT_LE(out.get_shared_channel(1).max(), 100.f + 1e-3f) << size;
  }
}

TEST(BsplineResize, BytesRoundAndStayInRange) {
  Rgb8_image bytes(4, 4, 1, 3, 200);
  bytes(1, 1, 0, 0) = 255;
  bytes(2, 2, 0, 1) = 0;
  const Rgb8_image out = resized_bspline(bytes, 9, 7);
  ASSERT_EQ(out.width(), 9);
  EXPECT_EQ(int(out(8, 6, 0, 2)), 200);  // constant channel stays exact
  EXPECT_EQ(int(out(0, 0, 0, 2)), 200);
  for (uint32_t y = 0; y < 7; ++y)
    for (uint32_t x = 0; x < 9; ++x) {
      const float px = float(bspline_source_position(x, 4, 9));
      const float py = float(bspline_source_position(y, 4, 7));
      const float expected = cubic_bspline_at(bytes, px, py, 0, 0);
      EXPECT_NEAR(float(out(x, y, 0, 0)), expected, 0.5f + 1e-3f);
    }
}

TEST(BsplineResize, InPlaceKeepsTypeAndDegenerateSizes) {
  Hdr_image image = varied(8, 6);
  image.type = k_type_rgbe;
  resize_bspline(image, 4, 3);
  EXPECT_EQ(image.width(), 4);
  EXPECT_EQ(image.height(), 3);
  EXPECT_EQ(image.type, uint32_t(k_type_rgbe));
  resize_bspline(image, 0, 0);  // sizes of 0 count as 1
  EXPECT_EQ(image.width(), 1);
  EXPECT_EQ(image.height(), 1);
  Hdr_image empty;
  resize_bspline(empty, 10, 10);
  EXPECT_TRUE(empty.is_empty());
}

TEST(ResizeByCode, FiveIsTheBsplineOthersTheLibrary) {
  const Hdr_image image = varied(6, 5);
  Hdr_image cubic = image;
  resize_image(cubic, 9, 2, k_interpolation_bspline);
  EXPECT_TRUE(same(cubic, resized_bspline(image, 9, 2)));
  Hdr_image nearest = image;
  resize_image(nearest, 9, 2, 1);
  EXPECT_TRUE(same(nearest, image.get_resize(9, 2, -100, -100, 1)));

  Rgb8_image bytes(4, 4, 1, 3, 9);
  resize_image(bytes, 0, 7, k_interpolation_bspline);
  EXPECT_EQ(bytes.width(), 1);
  EXPECT_EQ(bytes.height(), 7);
  EXPECT_EQ(int(bytes(0, 6, 0, 2)), 9);
}

TEST(BsplineRotate, QuarterTurnsAreExact) {
  const Hdr_image image = varied(5, 3);
  const cimg_library::CImg<float> right = rotated_bspline(image, 90.f);
  ASSERT_EQ(right.width(), 3);
  ASSERT_EQ(right.height(), 5);
  // Clockwise on screen: the bottom-left pixel moves to the top-left.
  EXPECT_EQ(right(0, 0, 0, 1), image(0, 2, 0, 1));
  EXPECT_EQ(right(2, 4, 0, 2), image(4, 0, 0, 2));
  EXPECT_TRUE(same(rotated_bspline(image, -90.f), rotated_bspline(image, 270.f)));
  EXPECT_TRUE(same(rotated_bspline(right, -90.f), image));
  EXPECT_TRUE(same(rotated_bspline(rotated_bspline(image, 180.f), 180.f), image));
  EXPECT_TRUE(same(rotated_bspline(image, 360.f), image));
}

TEST(BsplineRotate, OtherAnglesSampleTheSplineWithZeroOutside) {
  const Hdr_image image(9, 9, 1, 3, 50.f);
  const cimg_library::CImg<float> out = rotated_bspline(image, 45.f);
  // Bounding box of the turned square: 1 + 2 * 8 * cos 45.
  EXPECT_EQ(out.width(), 12);
  EXPECT_EQ(out.height(), 12);
  EXPECT_NEAR(out(6, 6, 0, 0), 50.f, 1e-3);  // centre: every neighbour inside
  EXPECT_EQ(out(0, 0, 0, 0), 0.f);           // corner: outside the turned image
  EXPECT_GE(out.min(), 0.f);
  EXPECT_LE(out.max(), 50.f + 1e-3f);

  Rgb8_image bytes(6, 4, 1, 3, 120);
  const Rgb8_image b = rotated_bspline(bytes, 30.f);
  EXPECT_EQ(int(b(b.width() / 2, b.height() / 2, 0, 1)), 120);
  EXPECT_LT(int(b(0, 0, 0, 1)), 60);  // corner: mostly outside
}

// A turn about the centre, clockwise on screen (y grows downwards): a point 5 pixels right
// of the centre moves to the centre + 5 (cos a, sin a). Uniform images cannot show where
// anything went.
TEST(BsplineRotate, BrightPixelTurnsClockwiseAboutTheCentre) {
  struct Turn_case {
    float angle;
  };
  for (const Turn_case c : {Turn_case{30.f}, Turn_case{-30.f}, Turn_case{120.f}}) {
    Hdr_image image(21, 21, 1, 1, 0.f);
    image(15, 10) = 1000.f;  // 5 to the right of the centre (10, 10)
    const cimg_library::CImg<float> out = rotated_bspline(image, c.angle);
    int bx = -1, by = -1;
    float best = -1.f;
    cimg_forXY(out, x, y) if (out(x, y) > best) {
      best = out(x, y);
      bx = x;
      by = y;
    }
    const double a = double(c.angle) * M_PI / 180.0;
    const double want_x = 0.5 * (out.width() - 1) + 5.0 * std::cos(a);
    const double want_y = 0.5 * (out.height() - 1) + 5.0 * std::sin(a);
    EXPECT_LE(std::hypot(bx - want_x, by - want_y), 1.0)
        << c.angle << " degrees: brightest at (" << bx << ", " << by << "), expected near ("
        << want_x << ", " << want_y << ")";
  }
}

struct Box_case {
  int w, h;
  float angle;
  int out_w, out_h;
};

class RotatedBox : public ::testing::TestWithParam<Box_case> {};

// The turned image's bounding box, 1 + the turned extents of (w - 1) x (h - 1), rounded to
// the nearest whole pixel: truncating would lose a column or row of the picture.
TEST_P(RotatedBox, SidesAreRoundedToTheNearestPixel) {
  const Box_case& c = GetParam();
  const Hdr_image image(uint32_t(c.w), uint32_t(c.h), 1, 3, 7.f);
  const cimg_library::CImg<float> out = rotated_bspline(image, c.angle);
  EXPECT_EQ(out.width(), c.out_w);
  EXPECT_EQ(out.height(), c.out_h);
  const Rgb8_image bytes(uint32_t(c.w), uint32_t(c.h), 1, 3, 7);
  const Rgb8_image b = rotated_bspline(bytes, c.angle);
  EXPECT_EQ(b.width(), c.out_w);
  EXPECT_EQ(b.height(), c.out_h);
}

INSTANTIATE_TEST_SUITE_P(Cases, RotatedBox,
                         ::testing::Values(Box_case{6, 4, 30.f, 7, 6},  // 6.83 x 6.10
                                           Box_case{4, 6, 30.f, 6, 7},  // 6.10 x 6.83
                                           Box_case{6, 4, -30.f, 7, 6},
                                           Box_case{6, 4, 120.f, 6, 7},       // 6.10 x 6.83
                                           Box_case{9, 9, 45.f, 12, 12},      // 12.31
                                           Box_case{21, 21, 30.f, 28, 28}));  // 28.32

}  // namespace

// Thumbnail fitting, the linear resize against the image library's own, and the planar
// thumbnail's rescale, flip and rotation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/hdr_image.h"
#include "core/thumbnail_pixels.h"

namespace {

struct Fit_case {
  uint32_t w, h, tw, th;
};

class Fitted_size : public ::testing::TestWithParam<Fit_case> {};

TEST_P(Fitted_size, MatchesTheBoxRule) {
  uint32_t tw = 0, th = 0;
  fitted_thumbnail_size(GetParam().w, GetParam().h, tw, th);
  EXPECT_EQ(tw, GetParam().tw);
  EXPECT_EQ(th, GetParam().th);
}

INSTANTIATE_TEST_SUITE_P(Cases, Fitted_size,
                         ::testing::Values(Fit_case{4000, 3000, 128, 96},
                                           Fit_case{100, 50, 128, 64},  // enlarged
                                           Fit_case{1, 1000, 1, 128},   // never 0
                                           Fit_case{3000, 2000, 128, 85},
                                           Fit_case{160, 120, 128, 96},
                                           Fit_case{128, 128, 128, 128},
                                           Fit_case{1000, 301, 128, 38},  // 38.53 truncated
                                           Fit_case{0, 10, 0, 0}));

Hdr_image pattern(uint32_t w, uint32_t h, float scale) {
  Hdr_image img(w, h, 1, 3, 0.f);
  uint32_t seed = 7;
  cimg_forXYC(img, x, y, c) {
    seed = seed * 1664525u + 1013904223u;
    img(x, y, 0, c) = float(seed >> 24) * scale;
  }
  return img;
}

struct Resize_case {
  uint32_t w, h, tw, th;
};

class Linear_resize : public ::testing::TestWithParam<Resize_case> {};

TEST_P(Linear_resize, IsBitForBitTheLibrarysLinearResize) {
  const Resize_case p = GetParam();
  Hdr_image ours = pattern(p.w, p.h, 1.37f), library = ours;
  resize_linear(ours, p.tw, p.th);
  library.resize(int(p.tw), int(p.th), -100, -100, 3);
  ASSERT_EQ(ours.width(), library.width());
  ASSERT_EQ(ours.height(), library.height());
  ASSERT_EQ(ours.spectrum(), 3);
  EXPECT_EQ(0, std::memcmp(ours.data(), library.data(), ours.size() * sizeof(float)));
}

INSTANTIATE_TEST_SUITE_P(Cases, Linear_resize,
                         ::testing::Values(Resize_case{3000, 2000, 128, 85},
                                           Resize_case{641, 479, 128, 95},
                                           Resize_case{129, 1000, 16, 128},
                                           Resize_case{100, 50, 128, 64},  // enlarged
                                           Resize_case{300, 40, 128, 40},  // one side kept
                                           Resize_case{7, 5, 3, 2}));

TEST(ThumbnailFromImage, HdrValuesFarAboveOneStillShow) {
  Hdr_image img(400, 300, 1, 3, 5.0e6f);
  for (int x = 0; x < 200; ++x)
    for (int y = 0; y < 300; ++y)
      for (int c = 0; c < 3; ++c) img(x, y, 0, c) = 1.0e6f;
  const Thumbnail_planes t = thumbnail_from_image(img, k_type_exr);
  ASSERT_EQ(t.width, 128u);
  ASSERT_EQ(t.height, 96u);
  uint32_t lit = 0;
  for (uint8_t v : t.data) lit += v > 0 && v < 255;
  EXPECT_GT(lit, t.data.size() / 4);
}

TEST(ThumbnailFromImage, EightBitValuesAreKept) {
  Hdr_image img(256, 128, 1, 3, 0.f);
  cimg_forXY(img, x, y) {
    img(x, y, 0, 0) = 200.f;
    img(x, y, 0, 1) = 100.f;
    img(x, y, 0, 2) = 10.f;
  }
  const Thumbnail_planes t = thumbnail_from_image(img, k_type_jpeg);
  ASSERT_EQ(t.width, 128u);
  ASSERT_EQ(t.height, 64u);
  const size_t n = 128 * 64;
  EXPECT_EQ(t.data[0], 200);
  EXPECT_EQ(t.data[n], 100);
  EXPECT_EQ(t.data[2 * n], 10);
}

Thumbnail_planes numbered(uint32_t w, uint32_t h) {
  Thumbnail_planes t;
  t.width = w;
  t.height = h;
  t.data.resize(size_t(w) * h * 3);
  for (size_t i = 0; i < t.data.size(); ++i) t.data[i] = uint8_t(i);
  return t;
}

uint8_t at(const Thumbnail_planes& t, uint32_t x, uint32_t y, uint32_t c) {
  return t.data[(size_t(c) * t.height + y) * t.width + x];
}

TEST(ThumbnailPlanes, MediumScaleShowsThreeQuarters) {
  const Thumbnail_planes s = scaled_thumbnail(numbered(128, 96), 0.75f);
  EXPECT_EQ(s.width, 96u);
  EXPECT_EQ(s.height, 72u);
  EXPECT_EQ(scaled_thumbnail(numbered(1, 128), 0.5f).width, 1u);
  EXPECT_EQ(scaled_thumbnail(numbered(8, 8), std::nanf("")).width, 8u);
}

TEST(ThumbnailPlanes, RotationIsExactAndClockwiseForPlus90) {
  const Thumbnail_planes t = numbered(4, 3);
  const Thumbnail_planes r = rotated_thumbnail(t, 90);
  ASSERT_EQ(r.width, 3u);
  ASSERT_EQ(r.height, 4u);
  // Clockwise: the bottom-left pixel comes to the top-left.
  for (uint32_t c = 0; c < 3; ++c) {
    EXPECT_EQ(at(r, 0, 0, c), at(t, 0, 2, c));
    EXPECT_EQ(at(r, 2, 0, c), at(t, 0, 0, c));
  }
  const Thumbnail_planes back = rotated_thumbnail(r, -90);
  EXPECT_EQ(back.data, t.data);
  EXPECT_EQ(rotated_thumbnail(t, 45).data, t.data);
}

TEST(ThumbnailPlanes, FlipsMirrorRowsOrColumns) {
  const Thumbnail_planes t = numbered(4, 3);
  const Thumbnail_planes fx = flipped_thumbnail(t, 'x'), fy = flipped_thumbnail(t, 'y');
  for (uint32_t c = 0; c < 3; ++c) {
    EXPECT_EQ(at(fx, 0, 1, c), at(t, 3, 1, c));
    EXPECT_EQ(at(fy, 1, 0, c), at(t, 1, 2, c));
  }
  EXPECT_EQ(interleaved_rgb(t).size(), 36u);
  EXPECT_EQ(interleaved_rgb(t)[1], at(t, 0, 0, 1));
}

}  // namespace

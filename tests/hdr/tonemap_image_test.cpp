// The dialog's types over a whole image, and the preview's source, histogram and bytes.
#include "hdr/tonemap_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "core/hdr_image.h"
#include "core/mat_convert.h"
#include "core/pixel_buffers.h"
#include "hdr/tonemap_asymmetric.h"
#include "hdr/tonemap_photographic.h"
#include "hdr/tonemap_photoreceptor.h"
#include "tests/support/hdr_scene.h"
#include "tests/support/image_compare.h"

namespace {

Hdr_image scene_image(int32_t w = 96, int32_t h = 64) {
  Rgb_rows r = hdr_scene_rows(w, h);
  Hdr_image image;
  rows_to_image(r.rows(), image, uint64_t(r.width), uint64_t(r.height));
  image.type = k_type_exr;
  return image;
}

// Settings far from the starting values, so a parameter passed in the wrong place shows.
Tonemap_settings unusual(uint32_t type) {
  Tonemap_settings s;
  s.type = type;
  s.saturation = 0.2f;
  s.lightness = 1.5f;
  s.contrast = 0.7f;
  s.gamma = 1.7f;
  s.user_contrast = true;
  return s;
}

class Dispatch : public ::testing::TestWithParam<uint32_t> {};

TEST_P(Dispatch, EachTypeIsItsOperatorWithTheSettingsValues) {
  const Tonemap_settings s = unusual(GetParam());
  Hdr_image expected = scene_image();
  if (s.type == k_tonemap_asymmetric) {
    cv::Mat out;
    tonemap_asymmetric(out, image_to_mat(expected), s.gamma);
    mat_into_image(out, expected);
  } else {
    Image_rows rows = image_to_rows(expected);
    const int32_t w = int32_t(rows.width()), h = int32_t(rows.height());
    if (s.type == k_tonemap_interactive)
      tonemap_photoreceptor(rows.rows(), w, h, s.saturation, s.lightness, s.contrast, s.gamma,
                            true);
    else
      tonemap_photographic(rows.rows(), w, h, s.gamma, s.type);
    rows_to_image(rows, expected);
  }
  Hdr_image image = scene_image();
  image.stats.computed = 1;
  tonemap_image(image, s);
  EXPECT_TRUE(images_match(expected, image));
  EXPECT_FALSE(image.stats.computed);  // the HDR figures no longer hold
  // The types differ from one another: none falls through to a neighbour.
  for (uint32_t other = 0; other <= k_tonemap_asymmetric; ++other) {
    if (other == s.type || (s.type == k_tonemap_automatic && other == k_tonemap_local) ||
        (s.type == k_tonemap_local && other == k_tonemap_automatic))
      continue;  // the scene's range makes automatic choose local
    Hdr_image other_image = scene_image();
    tonemap_image(other_image, unusual(other));
    EXPECT_FALSE(images_match(other_image, image, {0.5, 0, 0})) << other;
  }
}

INSTANTIATE_TEST_SUITE_P(Types, Dispatch,
                         ::testing::Values(k_tonemap_automatic, k_tonemap_global, k_tonemap_local,
                                           k_tonemap_interactive, k_tonemap_asymmetric));

TEST(TonemapImage, ATypePastTheLastChangesNothing) {
  const Hdr_image before = scene_image();
  Hdr_image image = before;
  tonemap_image(image, unusual(k_tonemap_asymmetric + 1));
  EXPECT_TRUE(images_match(before, image));
}

TEST(TonemapImage, ContrastIsIgnoredUntilTheUserChoseIt) {
  Tonemap_settings a = unusual(k_tonemap_interactive), b = a;
  a.user_contrast = b.user_contrast = false;
  b.contrast = 0.1f;
  Hdr_image x = scene_image(), y = scene_image();
  tonemap_image(x, a);
  tonemap_image(y, b);
  EXPECT_TRUE(images_match(x, y));
}

struct Fit_case {
  uint32_t w, h, box_w, box_h, out_w, out_h;
};

class Preview_fit : public ::testing::TestWithParam<Fit_case> {};

TEST_P(Preview_fit, SourceFitsTheBoxWithAtLeastOnePixelASide) {
  const Fit_case c = GetParam();
  Hdr_image image(c.w, c.h, 1, 3, 0.f);
  image.type = k_type_rgbe;
  for (uint32_t y = 0; y < c.h; ++y)
    for (uint32_t x = 0; x < c.w; ++x) image(x, y, 0, 1) = float(x) + 1000.f * float(y);
  const Hdr_image p = preview_source(image, c.box_w, c.box_h);
  ASSERT_EQ(uint32_t(p.width()), c.out_w);
  ASSERT_EQ(uint32_t(p.height()), c.out_h);
  EXPECT_EQ(p.type, uint32_t(k_type_rgbe));
  // Nearest neighbour: every value is one of the source's, never a blend.
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x) {
      const float v = p(x, y, 0, 1);
      const uint32_t sx = uint32_t(v) % 1000, sy = uint32_t(v) / 1000;
      ASSERT_LT(sx, c.w);
      ASSERT_LT(sy, c.h);
      ASSERT_EQ(v, float(sx) + 1000.f * float(sy));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Preview_fit,
    // The scale is a float and the sides are truncated: 265 / 6000 * 6000 falls a hair
    // short of 265.
    ::testing::Values(Fit_case{6000, 4000, 265, 204, 264, 176},  // a large photo shrinks
                      Fit_case{530, 408, 265, 204, 265, 204},    // exactly half
                      Fit_case{3, 2, 265, 204, 265, 176},        // a small one grows
                      Fit_case{999, 1, 265, 204, 264, 1},        // a line keeps one row
                      Fit_case{1, 999, 265, 204, 1, 203}));

TEST(PreviewHistogram, CountsTheLuminanceOfEveryPixelFromMinimumToMaximum) {
  // Three pixels black, one white: bins 0 and 255.
  Hdr_image image(2, 2, 1, 3, 0.f);
  for (int c = 0; c < 3; ++c) image(1, 1, 0, c) = 255.f;
  std::unique_ptr<uint32_t[]> bins = preview_histogram(image);
  EXPECT_EQ(bins[0], 3u);
  EXPECT_EQ(bins[k_preview_histogram_bins - 1], 1u);
  uint64_t total = 0;
  for (int i = 0; i < k_preview_histogram_bins; ++i) total += bins[i];
  EXPECT_EQ(total, 4u);
}

TEST(PreviewHistogram, SeveralGreysLandInLinearBinsWithTheirCounts) {
  // Greys 0, 0.25, 0.5 and 1 on 8, 4, 2 and 1 pixels: linear bins 0, 63, 127 and 255
  // (a logarithmic scale would put them in 0, 229, 242 and 255).
  const float levels[] = {0.f, 0.25f, 0.5f, 1.f};
  const uint32_t counts[] = {8, 4, 2, 1};
  Hdr_image image(15, 1, 1, 3, 0.f);
  int x = 0;
  for (int i = 0; i < 4; ++i)
    for (uint32_t n = 0; n < counts[i]; ++n, ++x)
      for (int c = 0; c < 3; ++c) image(x, 0, 0, c) = levels[i];
  std::unique_ptr<uint32_t[]> bins = preview_histogram(image);
  const int expected_bins[] = {0, 63, 127, 255};
  for (int b = 0; b < k_preview_histogram_bins; ++b) {
    uint32_t want = 0;
    for (int i = 0; i < 4; ++i)
      if (expected_bins[i] == b) want = counts[i];
    EXPECT_EQ(bins[b], want) << "bin " << b;
  }
}

TEST(PreviewBytes, ClampWithoutGammaInPixelOrder) {
  Hdr_image image(2, 1, 1, 3, 0.f);
  image(0, 0, 0, 0) = 300.f;  // above the range
  image(0, 0, 0, 1) = -4.f;   // below it
  image(0, 0, 0, 2) = 64.f;   // no gamma table: stays 64
  image(1, 0, 0, 0) = 10.f;
  image(1, 0, 0, 1) = 20.f;
  image(1, 0, 0, 2) = 30.f;
  std::unique_ptr<uint8_t[]> b = preview_bytes(image);
  const uint8_t expected[] = {255, 0, 64, 10, 20, 30};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b[i], expected[i]) << i;
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/hdr_image.h"

namespace {

// An image whose luminance equals the given values (grey pixels, R = G = B = v).
Hdr_image grey_row(const std::vector<float>& values) {
  Hdr_image img(uint32_t(values.size()), 1, 1, 3, 0.f);
  for (size_t i = 0; i < values.size(); ++i)
    for (int c = 0; c < 3; ++c) img(int(i), 0, 0, c) = values[i];
  return img;
}

TEST(ImageType, HdrCodes) {
  const bool expected[] = {true, true, false, false, false, false, true,
                           true, true, true,  false, false, false};
  for (uint32_t code = 0; code < 13; ++code) {
    EXPECT_EQ(is_hdr_type(code), expected[code]) << code;
    EXPECT_EQ(is_ldr_type(code), !expected[code]) << code;
  }
  EXPECT_FALSE(is_hdr_type(0xffffffffu));
}

TEST(ImageType, SizeConstructorZeroFillAndDefinedType) {
  Hdr_image img(4, 3, 1, 3, 0.f);
  ASSERT_EQ(img.size(), 36u);
  for (uint64_t i = 0; i < img.size(); ++i) EXPECT_EQ(img.data()[i], 0.f);
  EXPECT_EQ(img.stats.computed, 0);
  EXPECT_TRUE(img.type == k_type_new_hdr);
}

TEST(ImageType, PlanesArePlanar) {
  Hdr_image img(2, 2, 1, 3, 0.f);
  img(1, 1, 0, 2) = 7.f;
  float *r, *g, *b;
  rgb_planes(img, r, g, b);
  EXPECT_EQ(g - r, 4);
  EXPECT_EQ(b - r, 8);
  EXPECT_EQ(b[3], 7.f);
}

TEST(ImageType, CopyCarriesPixelsTypeAndStats) {
  Hdr_image img = grey_row({1.f, 10.f, 100.f});
  img.type = k_type_exr;
  dynamic_range(img.stats, img);
  ASSERT_TRUE(img.stats.computed);
  Hdr_image copy(img);
  EXPECT_NE(copy.data(), img.data());
  EXPECT_EQ(copy(2, 0, 0, 1), 100.f);
  EXPECT_EQ(copy.type, uint32_t(k_type_exr));
  EXPECT_TRUE(copy.stats.computed);
  EXPECT_FLOAT_EQ(copy.stats.range_log10, 2.f);
  Hdr_image assigned;
  assigned = img;
  EXPECT_EQ(assigned.type, uint32_t(k_type_exr));
  EXPECT_FLOAT_EQ(assigned.stats.range_ev, img.stats.range_ev);
  EXPECT_EQ(assigned(1, 0, 0, 2), 10.f);
}

TEST(DynamicRange, BlackImageStaysUncomputed) {
  Hdr_image img(5, 5, 1, 3, 0.f);
  dynamic_range(img.stats, img);
  EXPECT_FALSE(img.stats.computed);
  EXPECT_EQ(img.stats.range_log10, 0.f);
  EXPECT_EQ(img.stats.range_ev, 0.f);
  EXPECT_EQ(img.stats.range_log10_99, 0.f);
  EXPECT_EQ(img.stats.range_log10_95, 0.f);
}

TEST(DynamicRange, EmptyImageGivesZeros) {
  Hdr_image img;
  dynamic_range(img.stats, img);
  EXPECT_FALSE(img.stats.computed);
  EXPECT_EQ(img.stats.range_log10, 0.f);
}

TEST(DynamicRange, SingleNonZeroPixelAmongZeros) {
  std::vector<float> v(10, 0.f);
  v[4] = 3.f;
  Hdr_image img = grey_row(v);
  dynamic_range(img.stats, img);
  EXPECT_TRUE(img.stats.computed);
  EXPECT_EQ(img.stats.range_log10, 0.f);
  EXPECT_EQ(img.stats.range_log10_95, 0.f);
}

TEST(DynamicRange, SmallImagesTrimNothing) {
  // n = 10 < 20: both trimmed figures equal the full range.
  std::vector<float> v;
  for (int i = 1; i <= 10; ++i) v.push_back(float(i));
  Hdr_image img = grey_row(v);
  dynamic_range(img.stats, img);
  const float full = std::log10(10.f) - std::log10(1.f);
  EXPECT_FLOAT_EQ(img.stats.range_log10, full);
  EXPECT_FLOAT_EQ(img.stats.range_ev, std::log2(10.f));
  EXPECT_FLOAT_EQ(img.stats.range_log10_99, full);
  EXPECT_FLOAT_EQ(img.stats.range_log10_95, full);
}

TEST(DynamicRange, TrimsFromFirstNonZeroAndFromTop) {
  // 200 pixels: 50 zeros, then 1..150. p = 2, q = 10.
  std::vector<float> v(50, 0.f);
  for (int i = 1; i <= 150; ++i) v.push_back(float(i));
  Hdr_image img = grey_row(v);
  dynamic_range(img.stats, img);
  // Luminance of a grey pixel is v times the sum of the weights (1.0 in double, rounded).
  auto L = [](float x) { return float(0.2125 * x + 0.7154 * x + 0.0721 * x); };
  EXPECT_FLOAT_EQ(img.stats.range_log10, std::log10(L(150)) - std::log10(L(1)));
  EXPECT_FLOAT_EQ(img.stats.range_log10_99, std::log10(L(148)) - std::log10(L(3)));
  EXPECT_FLOAT_EQ(img.stats.range_log10_95, std::log10(L(140)) - std::log10(L(11)));
}

TEST(DynamicRange, AlmostAllZeroNeverReadsOutside) {
  // 1000 pixels, 995 zeros: k + q would pass the last index.
  std::vector<float> v(995, 0.f);
  for (int i = 1; i <= 5; ++i) v.push_back(float(i));
  Hdr_image img = grey_row(v);
  dynamic_range(img.stats, img);
  EXPECT_TRUE(img.stats.computed);
  EXPECT_TRUE(std::isfinite(img.stats.range_log10_95));
  EXPECT_TRUE(std::isfinite(img.stats.range_log10_99));
  EXPECT_GE(img.stats.range_log10_95, 0.f);
}

TEST(DynamicRange, NanPixelsDoNotBreakTheSort) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<float> v;
  for (int i = 0; i < 500; ++i) v.push_back(i % 7 == 0 ? nan : float(i % 13 + 1));
  Hdr_image img = grey_row(v);
  dynamic_range(img.stats, img);
  EXPECT_TRUE(img.stats.computed);
  EXPECT_TRUE(std::isfinite(img.stats.range_log10));
}

}  // namespace

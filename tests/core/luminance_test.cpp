#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/hdr_image.h"
#include "core/luminance.h"

namespace {

struct Histogram_case {
  std::vector<float> values;
  uint32_t bins;
  std::vector<uint32_t> counts;
};

void PrintTo(const Histogram_case& c, std::ostream* os) {
  *os << c.values.size() << "values_" << c.bins << "bins";
}

class HistogramTable : public ::testing::TestWithParam<Histogram_case> {};

TEST_P(HistogramTable, Counts) {
  Histogram_case c = GetParam();
  auto counts = compute_histogram(c.values.data(), c.values.size(), c.bins, false);
  for (uint32_t i = 0; i < c.bins; ++i) EXPECT_EQ(counts[i], c.counts[i]) << "bin " << i;
}

const float k_nan = std::numeric_limits<float>::quiet_NaN();
const float k_inf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(Cases, HistogramTable,
                         ::testing::Values(Histogram_case{{0.f, 0.5f, 1.f}, 3, {1, 1, 1}},
                                           Histogram_case{{0.f, 0.5f, 1.f}, 2, {2, 1}},
                                           Histogram_case{{4.f, 4.f, 4.f, 4.f}, 5, {4, 0, 0, 0, 0}},
                                           Histogram_case{{}, 4, {0, 0, 0, 0}},
                                           Histogram_case{{k_nan, 1.f, k_nan, 2.f}, 2, {1, 1}},
                                           Histogram_case{{k_nan, k_nan}, 2, {0, 0}},
                                           Histogram_case{{0.f, 1.f, k_inf}, 3, {2, 0, 1}},
                                           Histogram_case{{-k_inf, 0.f, 1.f}, 2, {2, 1}}));

TEST(Histogram, LogFlagRewritesCallersValues) {
  std::vector<float> v = {0.f, std::exp(1.f) - 1e-6f};
  auto counts = compute_histogram(v.data(), v.size(), 2, true);
  EXPECT_NEAR(v[0], -13.8155, 1e-4);
  EXPECT_NEAR(v[1], 1.0, 1e-5);
  EXPECT_EQ(counts[0], 1u);
  EXPECT_EQ(counts[1], 1u);
}

TEST(Luminance, WeightsAndSort) {
  const float r[] = {1.f, 0.f, 0.f, 2.f}, g[] = {0.f, 1.f, 0.f, 2.f}, b[] = {0.f, 0.f, 1.f, 2.f};
  auto l = luminance_from_planes(r, g, b, 4);
  EXPECT_FLOAT_EQ(l[0], 0.2125f);
  EXPECT_FLOAT_EQ(l[1], 0.7154f);
  EXPECT_FLOAT_EQ(l[2], 0.0721f);
  EXPECT_FLOAT_EQ(l[3], 2.f);
  auto s = sorted_luminance(r, g, b, 4);
  EXPECT_FLOAT_EQ(s[0], 0.0721f);
  EXPECT_FLOAT_EQ(s[1], 0.2125f);
  EXPECT_FLOAT_EQ(s[2], 0.7154f);
  EXPECT_FLOAT_EQ(s[3], 2.f);

  Hdr_image img(2, 2, 1, 3, 0.f);
  std::copy(r, r + 4, img.data());
  std::copy(g, g + 4, img.data() + 4);
  std::copy(b, b + 4, img.data() + 8);
  float out[4];
  luminance_of(img, out);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], l[i]);
}

TEST(Luminance, CompareFloats) {
  const float a = 1.f, b = 2.f, n = k_nan;
  EXPECT_EQ(compare_floats(&a, &b), -1);
  EXPECT_EQ(compare_floats(&b, &a), 1);
  EXPECT_EQ(compare_floats(&a, &a), 0);
  EXPECT_EQ(compare_floats(&a, &n), 0);
}

TEST(Luminance, RowsAndLogStats) {
  std::vector<float> row0 = {1, 1, 1, 0, 0, 0}, row1 = {2, 0, 0, 0, 4, 0};
  float* rows[] = {row0.data(), row1.data()};
  std::vector<double> l0(2), l1(2);
  double* out[] = {l0.data(), l1.data()};
  luminance_rows(rows, out, 2, 2);
  EXPECT_DOUBLE_EQ(l0[0], 0.2125 + 0.7154 + 0.0721);
  EXPECT_DOUBLE_EQ(l1[0], 2 * 0.2125);
  EXPECT_DOUBLE_EQ(luminance_at(rows, 1, 1), 4 * 0.7154);

  double mn = 0, mx = 0, avg = 0;
  log_luminance_stats(rows, 2, 2, mn, mx, avg);
  EXPECT_DOUBLE_EQ(mn, std::log(1e-5));
  EXPECT_DOUBLE_EQ(mx, std::log(4 * 0.7154 + 1e-5));

  std::vector<float> black(12, 0.f);
  float* brows[] = {black.data(), black.data() + 6};
  log_luminance_stats(brows, 2, 2, mn, mx, avg);
  EXPECT_DOUBLE_EQ(mn, std::log(1e-5));
  EXPECT_DOUBLE_EQ(mx, std::log(1e-5));
  EXPECT_NEAR(avg, std::log(1e-5), 1e-12);

  mn = 42;
  log_luminance_stats(brows, 2, 0, mn, mx, avg);
  EXPECT_EQ(mn, 42);
}

TEST(Yxy, PixelConversions) {
  float black[3] = {0, 0, 0};
  rgb_to_yxy(black);
  EXPECT_EQ(black[0], 0.f);
  EXPECT_EQ(black[1], 0.f);
  EXPECT_EQ(black[2], 0.f);
  float white[3] = {1, 1, 1};
  rgb_to_yxy(white);
  EXPECT_NEAR(white[0], 1.0, 1e-4);
  EXPECT_NEAR(white[1], 0.3127, 1e-3);
  EXPECT_NEAR(white[2], 0.3290, 1e-3);
}

TEST(Yxy, RowsRoundTripAndZeroChromaticity) {
  std::vector<float> row = {0.5f, 0.25f, 0.125f, 2.f, 3.f, 1.f, 0.f, 0.f, 0.f};
  const std::vector<float> original = row;
  float* rows[] = {row.data()};
  rgb_to_yxy_rows(rows, 3, 1);
  EXPECT_EQ(row[6], 0.f);
  yxy_to_rgb_rows(rows, 3, 1);
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(row[i], original[i], 2e-3) << i;

  std::vector<float> special = {2.f, 0.3f, 0.f};
  float* srows[] = {special.data()};
  yxy_to_rgb_rows(srows, 1, 1);
  EXPECT_NEAR(special[0], 2 * -1.537208, 1e-5);
  EXPECT_NEAR(special[1], 2 * 1.875756, 1e-5);
  EXPECT_NEAR(special[2], 2 * -0.204021, 1e-5);
}

}  // namespace

namespace {

// Unit colours pin every coefficient of both matrices, not only their row sums.
TEST(Yxy, MatrixCoefficients) {
  const float m[3][3] = {
      {0.4124f, 0.3576f, 0.1805f}, {0.2126f, 0.7152f, 0.0722f}, {0.0193f, 0.1192f, 0.9505f}};
  for (int j = 0; j < 3; ++j) {
    float p[3] = {0, 0, 0};
    p[j] = 1.f;
    rgb_to_yxy(p);
    const float s = m[0][j] + m[1][j] + m[2][j];
    EXPECT_FLOAT_EQ(p[0], m[1][j]) << j;
    EXPECT_FLOAT_EQ(p[1], m[0][j] / s) << j;
    EXPECT_FLOAT_EQ(p[2], m[1][j] / s) << j;
  }

  const double inv[3][3] = {{3.240625, -1.537208, -0.498629},
                            {-0.968931, 1.875756, 0.041518},
                            {0.05571, -0.204021, 1.056996}};
  // (Y, x, y) = (1, 0.5, 0.5) is XYZ (1, 1, 0); (1, 0.25, 0.25) is XYZ (1, 1, 2).
  std::vector<float> row = {1.f, 0.5f, 0.5f, 1.f, 0.25f, 0.25f};
  float* rows[] = {row.data()};
  yxy_to_rgb_rows(rows, 2, 1);
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(row[c], inv[c][0] + inv[c][1], 1e-6) << c;
    EXPECT_NEAR(row[3 + c], inv[c][0] + inv[c][1] + 2 * inv[c][2], 1e-6) << c;
  }
}

}  // namespace

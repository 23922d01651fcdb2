// Calibration arithmetic: the pixel's luminance, the factor for a typed value, and the
// values that are refused because they are no luminance or would overflow the image.
#include "hdr/luminance_calibration.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "core/hdr_image.h"

namespace {

TEST(CalibrationLuminance, WeightsOfHdrCreationInSinglePrecision) {
  EXPECT_FLOAT_EQ(calibration_luminance(0.f, 1.f, 0.f), 0.7152f);
  EXPECT_FLOAT_EQ(calibration_luminance(1.f, 0.f, 0.f), 0.2126f);
  EXPECT_FLOAT_EQ(calibration_luminance(0.f, 0.f, 1.f), 0.0722f);
  EXPECT_FLOAT_EQ(calibration_luminance(10.f, 20.f, 30.f), 18.596f);
  // Grey keeps its value: the weights sum to one.
  EXPECT_NEAR(calibration_luminance(5.f, 5.f, 5.f), 5.f, 5e-6f);
  EXPECT_EQ(calibration_luminance(0.f, 0.f, 0.f), 0.f);
}

struct Factor_case {
  const char* name;
  double typed;
  float luminance;
  float image_value;  // every value of a small image
  Calibration_check check;
  double factor;  // expected when accepted
};

class CalibrationFactor : public ::testing::TestWithParam<Factor_case> {};

TEST_P(CalibrationFactor, AcceptedOrRefused) {
  const Factor_case& c = GetParam();
  const Hdr_image image(4, 3, 1, 3, c.image_value);
  const Calibration_factor f = calibration_factor(c.typed, c.luminance, image);
  EXPECT_EQ(f.check, c.check);
  if (c.check != k_calibration_ok) {
    EXPECT_FALSE(calibration_refusal_text(c.check).empty());
    return;
  }
  EXPECT_TRUE(std::isfinite(f.factor));
  EXPECT_FALSE(std::signbit(f.factor));
  EXPECT_NEAR(f.factor, c.factor, std::fabs(c.factor) * 1e-7);
}

const double k_nan = std::numeric_limits<double>::quiet_NaN();
const double k_inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, CalibrationFactor,
    ::testing::Values(
        Factor_case{"KnownPixel", 100.0, 4.f, 1.f, k_calibration_ok, 100.0 / (4.0 + 1e-6)},
        Factor_case{"OwnValueIsAboutOne", 0.25, 0.25f, 1.f, k_calibration_ok, 0.999996},
        // A black pixel: a million times the typed value.
        Factor_case{"BlackPixel", 3.0, 0.f, 1e-3f, k_calibration_ok, 3e6},
        // 0 makes every value 0 (Undo brings the image back); -0 multiplies as 0 too.
        Factor_case{"Zero", 0.0, 7.f, 1.f, k_calibration_ok, 0.0},
        Factor_case{"NegativeZero", -0.0, 7.f, 1.f, k_calibration_ok, 0.0},
        Factor_case{"Negative", -5.0, 7.f, 1.f, k_calibration_bad_value, 0.0},
        Factor_case{"NotANumber", k_nan, 7.f, 1.f, k_calibration_bad_value, 0.0},
        Factor_case{"Infinite", k_inf, 7.f, 1.f, k_calibration_bad_value, 0.0},
        // Finite as typed but past the float range once converted.
        Factor_case{"PastFloat", 1e300, 7.f, 1.f, k_calibration_out_of_range, 0.0},
        // A black pixel divides a large value into infinity.
        Factor_case{"BlackPixelInfinity", 1e33, 0.f, 1.f, k_calibration_out_of_range, 0.0},
        // A finite factor that would overflow the image's values.
        Factor_case{"ValuesOverflow", 1e10, 1.f, 1e30f, k_calibration_out_of_range, 0.0},
        Factor_case{"LargestThatFits", 1e8, 1.f, 1e30f, k_calibration_ok, 1e8 / (1 + 1e-6)},
        // A pixel of negative luminance (left by an older calibration) gives no factor.
        Factor_case{"NegativePixel", 2.0, -1.f, 1.f, k_calibration_out_of_range, 0.0},
        Factor_case{"NotANumberPixel", 2.0, NAN, 1.f, k_calibration_out_of_range, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalibrationFactor, NegativeValuesOfTheImageAreCheckedByMagnitude) {
  Hdr_image image(2, 2, 1, 3, 1.f);
  image(1, 1, 0, 2) = -1e30f;
  EXPECT_EQ(calibration_factor(1e10, 1.f, image).check, k_calibration_out_of_range);
  // NaN values stay NaN whatever the factor: they do not refuse it.
  image(1, 1, 0, 2) = NAN;
  EXPECT_EQ(calibration_factor(1e10, 1.f, image).check, k_calibration_ok);
}

TEST(CalibrationFactor, TypedValueGoesThroughFloat) {
  const Hdr_image image(1, 1, 1, 3, 1.f);
  // 0.1 as float is 0.100000001490116; the quotient is taken in double from that.
  const double v = double(0.1f);
  const float expected = float(v / (double(0.3f) + 1e-6));
  EXPECT_EQ(calibration_factor(0.1, 0.3f, image).factor, expected);
}

TEST(CalibrationText, OnlyWholeNumbersAreNumbers) {
  for (const char* text : {"0", " 0 ", "12.5", "-3", "1e5", ".5", "5.", "nan", "inf"})
    EXPECT_EQ(check_typed_text(text), k_calibration_ok) << "'" << text << "'";
  for (const char* text : {"", " ", "-", ".", "e5", "1e", "+", "5x", "3 4"})
    EXPECT_EQ(check_typed_text(text), k_calibration_not_a_number) << "'" << text << "'";
  EXPECT_EQ(check_typed_text(nullptr), k_calibration_not_a_number);
}

TEST(CalibrationRefusal, EachRefusalHasItsOwnText) {
  EXPECT_TRUE(calibration_refusal_text(k_calibration_ok).empty());
  EXPECT_NE(calibration_refusal_text(k_calibration_bad_value),
            calibration_refusal_text(k_calibration_out_of_range));
  EXPECT_NE(calibration_refusal_text(k_calibration_not_a_number).find("Luminance"),
            std::string::npos);
}

}  // namespace

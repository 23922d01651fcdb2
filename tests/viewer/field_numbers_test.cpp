// Numbers typed into the resize and crop fields: lenient reading, bounded integers, the
// stream's float format.
#include <gtest/gtest.h>

#include <cmath>

#include "viewer/field_numbers.h"

TEST(Field_numbers, IntegersAreTheLeadingDigitsAndStayBounded) {
  struct Case {
    const char* text;
    int64_t expected;
  } cases[] = {
      {"750", 750},
      {"12.7", 12},
      {"-3", -3},
      {"+8", 8},
      {"", 0},
      {"abc", 0},
      {" 42", 42},
      {"7px", 7},
      {"99999999999999999999999", k_field_integer_limit},
      {"-99999999999999999999999", -k_field_integer_limit},
      {"2000000000000000000", k_field_integer_limit},
  };
  for (const Case& c : cases) EXPECT_EQ(read_integer_field(c.text), c.expected) << c.text;
  EXPECT_EQ(read_integer_field(nullptr), 0);
}

TEST(Field_numbers, DecimalsKeepFractionsAndReportNonFiniteValues) {
  EXPECT_DOUBLE_EQ(read_decimal_field("33.3333"), 33.3333);
  EXPECT_DOUBLE_EQ(read_decimal_field("1e+06"), 1e6);
  EXPECT_DOUBLE_EQ(read_decimal_field(""), 0.0);
  EXPECT_DOUBLE_EQ(read_decimal_field(nullptr), 0.0);
  EXPECT_TRUE(std::isinf(read_decimal_field("1e999")));
  EXPECT_TRUE(std::isnan(read_decimal_field("nan")));
}

TEST(Field_numbers, FloatsShowSixSignificantDigits) {
  EXPECT_EQ(format_float_field(100.f), "100");
  EXPECT_EQ(format_float_field(25.f), "25");
  EXPECT_EQ(format_float_field(100.f / 3.f), "33.3333");
  EXPECT_EQ(format_float_field(1e6f), "1e+06");
}

// Numbers typed into the resize and crop dialogs' fields: read leniently (leading part,
// garbage gives 0) and bounded so that later sums and products cannot overflow.
#pragma once
#include <cstdint>
#include <string>

/// Largest magnitude an integer field yields: far beyond any image side, small enough that
/// the sum of two such values fits in 64 bits.
inline constexpr int64_t k_field_integer_limit = int64_t(1) << 60;

/// The leading integer of text (optional sign, then digits; "12.7" gives 12, "" and "abc"
/// give 0), clamped to [-k_field_integer_limit, k_field_integer_limit].
int64_t read_integer_field(const char* text);

/// The leading decimal number of text as strtod reads it ("" and "abc" give 0); may be
/// infinite or NaN ("1e999", "nan").
double read_decimal_field(const char* text);

/// value as an output stream writes a float by default: six significant digits
/// ("33.3333", "100", "1e+06").
std::string format_float_field(float value);

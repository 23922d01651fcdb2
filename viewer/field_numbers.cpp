// Reading and writing the dialogs' number fields.
#include "viewer/field_numbers.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

int64_t read_integer_field(const char* text) {
  if (!text) return 0;
  errno = 0;
  // strtoll saturates on overflow, so the clamp below also covers 20-digit inputs.
  const long long v = std::strtoll(text, nullptr, 10);
  if (v > k_field_integer_limit) return k_field_integer_limit;
  if (v < -k_field_integer_limit) return -k_field_integer_limit;
  return int64_t(v);
}

double read_decimal_field(const char* text) {
  if (!text) return 0.0;
  return std::strtod(text, nullptr);
}

std::string format_float_field(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

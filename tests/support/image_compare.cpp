#include "tests/support/image_compare.h"

#include <cmath>
#include <sstream>

::testing::AssertionResult images_match(const Hdr_image& expected, const Hdr_image& actual,
                                        Compare_limits limits) {
  if (expected.width() != actual.width() || expected.height() != actual.height() ||
      expected.depth() != actual.depth() || expected.spectrum() != actual.spectrum()) {
    return ::testing::AssertionFailure()
           << "size " << actual.width() << "x" << actual.height() << "x" << actual.spectrum()
           << " != expected " << expected.width() << "x" << expected.height() << "x"
           << expected.spectrum();
  }
  const uint64_t n = expected.size();
  uint64_t failed = 0, first = n;
  for (uint64_t i = 0; i < n; ++i) {
    const double e = expected.data()[i], a = actual.data()[i];
    bool ok;
    if (std::isnan(e) || std::isnan(a))
      ok = std::isnan(e) && std::isnan(a);
    else if (e == a)
      ok = true;
    else {
      const double d = std::fabs(e - a);
      ok = d <= limits.abs_tol || d <= limits.rel_tol * std::fabs(e);
    }
    if (!ok) {
      ++failed;
      if (first == n) first = i;
    }
  }
  if (n == 0 || double(failed) <= limits.fail_fraction * double(n))
    return ::testing::AssertionSuccess();
  std::ostringstream s;
  s << failed << " of " << n << " values differ; first at index " << first << ": expected "
    << expected.data()[first] << ", got " << actual.data()[first];
  return ::testing::AssertionFailure() << s.str();
}

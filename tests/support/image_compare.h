// One comparison of two images for every test, with three thresholds.
#pragma once
#include <gtest/gtest.h>

#include "core/hdr_image.h"

struct Compare_limits {
  double abs_tol = 0;        // a value passes within this absolute difference...
  double rel_tol = 0;        // ...or within this fraction of the expected value
  double fail_fraction = 0;  // fraction of values allowed to fail both
};

/// Passes when the sizes agree and at most fail_fraction of the values differ by more
/// than both tolerances. NaN matches only NaN.
::testing::AssertionResult images_match(const Hdr_image& expected, const Hdr_image& actual,
                                        Compare_limits limits = {});

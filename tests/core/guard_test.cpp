// The scoped re-entry flag: set for the scope, clear on every way out.
#include "core/guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(Guard, FlagIsSetInsideAndClearedOnReturnAndOnThrow) {
  bool flag = false;
  {
    Guard guard(flag);
    EXPECT_TRUE(flag);
  }
  EXPECT_FALSE(flag);
  try {
    Guard guard(flag);
    throw std::runtime_error("out");
  } catch (const std::runtime_error&) {
    EXPECT_FALSE(flag);
  }
}

}  // namespace

// The scoped re-entry flag: set for the scope, clear on every way out.
#include "core/guard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

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

struct Run_state {
  bool running = false;
  std::vector<int> data{1, 2, 3};
  bool running_at_reset = false;
  void reset_run() {
    running_at_reset = running;
    data.clear();
  }
};

TEST(Run_guard, FreesTheRunsDataBeforeClearingItsFlagOnEveryWayOut) {
  for (const bool throws : {false, true}) {
    Run_state state;
    try {
      Run_guard<Run_state> guard(state);
      EXPECT_TRUE(state.running);
      if (throws) throw std::runtime_error("out");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(state.data.empty()) << throws;
    EXPECT_TRUE(state.running_at_reset) << "a second run must not start on half-freed data";
    EXPECT_FALSE(state.running) << throws;
  }
}

}  // namespace

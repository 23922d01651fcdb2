#include "core/busy_cursor.h"

#include <FL/Fl.H>
#include <gtest/gtest.h>

namespace {

void count_cb(void* data) { ++*static_cast<int*>(data); }

TEST(Set_busy_cursor, runs_pending_timeouts_on_set_and_on_clear) {
  int ran = 0;
  Fl::add_timeout(0.0, count_cb, &ran);
  set_busy_cursor(FL_CURSOR_WAIT);
  EXPECT_EQ(ran, 1);
  Fl::add_timeout(0.0, count_cb, &ran);
  set_busy_cursor(FL_CURSOR_DEFAULT);
  EXPECT_EQ(ran, 2);
}

}  // namespace

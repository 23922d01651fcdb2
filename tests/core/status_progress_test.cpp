// The status-bar progress of batch jobs, seen through the file-command recorder: each
// step is one record, a pump that is no step (a reader's) is none, and the bar ends hidden.
#include "core/status_progress.h"

#include <gtest/gtest.h>

#include <FL/Fl_Progress.H>

#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/event_pump.h"
#include "tests/support/file_view_recorder.h"

namespace {

TEST(Status_progress, EveryStepIsRecordedAndTheRangeFollowsTheJob) {
  File_view_recorder view;
  {
    Status_progress progress(3, "Copying...");
    progress.step(0);
    pump_events();  // served inside a step's work, as a reader does
    progress.step(0);
    progress.range(5);
    EXPECT_EQ(g_status_progress->maximum(), 5.f);
    progress.step(2);
    EXPECT_TRUE(g_status_progress->visible());
  }
  EXPECT_FALSE(g_status_progress->visible());
  const std::vector<std::string> expected = {"begin 3 Copying...", "step 0", "step 0", "step 2",
                                             "end"};
  EXPECT_EQ(view.events, expected);
}

TEST(Status_progress, WithoutABarOnlyServesEvents) {
  Fl_Progress* const saved = g_status_progress;
  g_status_progress = nullptr;
  int pumps = 0;
  static int* s_pumps = nullptr;
  s_pumps = &pumps;
  const Event_pump_fn previous = set_event_pump([] { ++*s_pumps; });
  {
    Status_progress progress(2, "Rotating...");
    progress.range(4);
    progress.step(1);
  }
  set_event_pump(previous);
  g_status_progress = saved;
  EXPECT_EQ(pumps, 1);
}

}  // namespace

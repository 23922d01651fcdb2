#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "hdr/progress_dialog.h"

namespace {

struct Dialog : ::testing::Test {
  ProgressDialog dialog{420, 115, "Progress"};
  ~Dialog() override {
    dialog.hide();
    Fl::check();
  }
};

void press_cancel(void* v) { static_cast<ProgressDialog*>(v)->cancel_button()->do_callback(); }

TEST_F(Dialog, LayoutAfterBuilding) {
  EXPECT_EQ(dialog.w(), 420);
  EXPECT_EQ(dialog.h(), 115);
  EXPECT_STREQ(dialog.label(), "Progress");
  EXPECT_FALSE(dialog.shown());
  EXPECT_TRUE(dialog.modal());
  Fl_Progress* bar = dialog.first_bar();
  EXPECT_EQ(bar->x(), 65);
  EXPECT_EQ(bar->y(), 42);
  EXPECT_EQ(bar->w(), 290);
  EXPECT_EQ(bar->h(), 21);
  EXPECT_STREQ(bar->label(), "label");
  EXPECT_EQ(bar->selection_color(), FL_BLUE);
  Fl_Button* cancel = dialog.cancel_button();
  EXPECT_EQ(cancel->x(), 173);
  EXPECT_EQ(cancel->y(), 85);
  EXPECT_EQ(cancel->w(), 74);
  EXPECT_EQ(cancel->h(), 25);
  EXPECT_STREQ(cancel->label(), "Cancel");
  Fl_Progress* overall = dialog.overall_bar();
  EXPECT_EQ(overall->y(), 52);
  EXPECT_EQ(overall->selection_color(), FL_BLUE);
  EXPECT_FALSE(overall->visible());
}

TEST_F(Dialog, StartShowsTheBarAndUpdateKeepsANullLabel) {
  dialog.start(0, 0, 5, "Loading images");
  EXPECT_TRUE(dialog.shown());
  EXPECT_EQ(dialog.first_bar()->minimum(), 0.f);
  EXPECT_EQ(dialog.first_bar()->maximum(), 5.f);
  EXPECT_EQ(dialog.update(2), 0);
  EXPECT_EQ(dialog.first_bar()->value(), 2.f);
  EXPECT_STREQ(dialog.first_bar()->label(), "Loading images");
  EXPECT_EQ(dialog.update(3, "Assembling images"), 0);
  EXPECT_STREQ(dialog.first_bar()->label(), "Assembling images");
  dialog.update(9);  // beyond the maximum: passed on unchanged
  EXPECT_EQ(dialog.first_bar()->value(), 9.f);
}

TEST_F(Dialog, CancelSeenByTheNextUpdateUntilTheNextStart) {
  dialog.start(0, 0, 3, "Assembling images");
  // The press arrives as an event: update must pump for it to be seen.
  Fl::add_timeout(0.0, press_cancel, &dialog);
  int r = 0;
  for (int i = 0; i < 50 && r == 0; ++i) r = dialog.update(1);
  EXPECT_EQ(r, -1);
  EXPECT_EQ(dialog.update(2), -1);
  EXPECT_TRUE(dialog.shown());  // cancel does not hide the window
  dialog.start(0, 0, 3, "Reducing noise");
  EXPECT_EQ(dialog.update(1), 0);
}

TEST_F(Dialog, OverallBarMovesTheFirstBarAndBack) {
  dialog.show_overall(0, 0, 2, "Overall");
  EXPECT_FALSE(dialog.shown());  // showing the window is the next start's business
  EXPECT_TRUE(dialog.overall_bar()->visible());
  EXPECT_EQ(dialog.first_bar()->y(), 22);
  EXPECT_EQ(dialog.overall_bar()->y(), 52);
  EXPECT_EQ(dialog.first_bar()->x(), 65);
  EXPECT_EQ(dialog.overall_bar()->maximum(), 2.f);
  EXPECT_STREQ(dialog.overall_bar()->label(), "Overall");
  dialog.start(0, 0, 5, "Loading images");
  dialog.update_overall(1);
  EXPECT_EQ(dialog.overall_bar()->value(), 1.f);
  EXPECT_STREQ(dialog.overall_bar()->label(), "Overall");
  dialog.hide_overall();
  EXPECT_FALSE(dialog.overall_bar()->visible());
  EXPECT_EQ(dialog.first_bar()->y(), 42);
  EXPECT_EQ(dialog.first_bar()->w(), 290);
}

}  // namespace

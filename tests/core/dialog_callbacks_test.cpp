#include "core/dialog_callbacks.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <gtest/gtest.h>

#include <string>

namespace {

class Ui : public Fl_Double_Window, public Dialog_actions {
 public:
  Ui() : Fl_Double_Window(200, 100, "t") {
    inner = new Fl_Group(0, 0, 200, 100);
    button = new Fl_Button(10, 10, 50, 20, "b");
    inner->end();
    end();
  }
  Fl_Group* inner;
  Fl_Button* button;
};

class Drv : public Ui {
 public:
  void first_action() override { log += "first;"; }
  void second_action() override { log += "second;"; }
  std::string log;
};

class Plain : public Fl_Double_Window {
 public:
  Plain() : Fl_Double_Window(100, 100) {
    button = new Fl_Button(0, 0, 10, 10);
    end();
  }
  Fl_Button* button;
};

TEST(Dialog_callbacks, reach_the_behaviour_class_through_nested_groups) {
  Drv d;
  d.button->callback(cb_first_action);
  d.button->do_callback();
  d.button->callback(cb_second_action);
  d.button->do_callback();
  cb_first_action(&d, nullptr);  // the window's own callback
  EXPECT_EQ(d.log, "first;second;first;");
}

TEST(Dialog_callbacks, window_without_actions_or_no_window_does_nothing) {
  Plain p;
  cb_first_action(p.button, nullptr);
  cb_second_action(p.button, nullptr);
  Fl_Group::current(nullptr);
  Fl_Button loose(0, 0, 10, 10);
  cb_first_action(&loose, nullptr);
  hide_parent_cb(&loose, nullptr);
  cb_first_action(nullptr, nullptr);
  SUCCEED();
}

}  // namespace

// FLTK's own dialogs behind the message seam: what the user reads is the text as given.
// gtest first: X11 (through fl_draw.H) defines None, which breaks it.
// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <string>

#include "core/messages.h"

namespace {

struct Shown_text {
  std::string raw;  // the text handed to the seam
  int label_width = -1, plain_width = -1;
};

// Finds the dialog's text among the widgets of the first shown window, measures it as the
// dialog draws it and as plain text, then closes the dialog.
void measure_and_close(void* data) {
  auto* shown = static_cast<Shown_text*>(data);
  Fl_Window* w = Fl::first_window();
  if (!w) {
    Fl::repeat_timeout(0.05, measure_and_close, data);
    return;
  }
  for (int i = 0; i < w->children(); ++i) {
    const Fl_Widget* c = w->child(i);
    if (!c->label() || std::string(c->label()).find("Location") == std::string::npos) continue;
    int h = 0;
    fl_font(c->labelfont(), c->labelsize());
    shown->label_width = 0;
    fl_measure(c->label(), shown->label_width, h, 1);
    shown->plain_width = 0;
    fl_measure(shown->raw.c_str(), shown->plain_width, h, 0);
  }
  w->hide();
}

TEST(Fltk_messages, show_a_path_holding_at_signs_whole) {
  set_message_backend(nullptr);
  for (void (*show)(const std::string&) : {&show_message, &show_alert}) {
    Shown_text shown;
    shown.raw = "Location: /home/u/my@home/@b/ does not exist!\nOr you do not have permission.";
    Fl::add_timeout(0.05, measure_and_close, &shown);
    show(shown.raw);
    ASSERT_GT(shown.plain_width, 0);
    EXPECT_EQ(shown.label_width, shown.plain_width);
  }
}

TEST(As_label, doubles_at_signs_only) {
  EXPECT_EQ(as_label("a@b@@c&d%s"), "a@@b@@@@c&d%s");
  EXPECT_EQ(as_label(""), "");
}

}  // namespace

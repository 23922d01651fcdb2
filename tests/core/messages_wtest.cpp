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

// What the user does in a shown question: a key, or a press on a button of that label.
struct Answer_step {
  int key = 0;  // FL_Enter, FL_Escape, or 0 for a button press
  const char* button = nullptr;
  bool timed_out = false;
};

Fl_Window* shown_question() {
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (w->shown() && w->modal()) return w;
  return nullptr;
}

void give_up(void* data) {
  static_cast<Answer_step*>(data)->timed_out = true;
  if (Fl_Window* w = shown_question()) w->hide();
}

void answer_question(void* data) {
  auto* step = static_cast<Answer_step*>(data);
  Fl_Window* w = shown_question();
  if (!w) {
    Fl::repeat_timeout(0.05, answer_question, data);
    return;
  }
  if (step->key) {
    Fl::e_keysym = step->key;
    Fl::e_text = const_cast<char*>(step->key == FL_Enter ? "\r" : "\033");
    Fl::e_length = 1;
    Fl::e_state = 0;
    Fl::handle(FL_KEYBOARD, w);
    return;
  }
  for (int i = 0; i < w->children(); ++i) {
    Fl_Widget* c = w->child(i);
    if (c->visible() && c->label() && std::string(c->label()) == step->button) c->do_callback();
  }
}

// The toolkit's own question: Escape always keeps everything, and so does Return where the
// other answer loses work or files.
TEST(Fltk_messages, ReturnPicksTheHarmlessButtonWhereAsked) {
  set_message_backend(nullptr);
  struct Case {
    const char* what;
    Return_key return_key;
    int key;
    const char* button;
    int answer;
  };
  const Case cases[] = {
      {"return keeps", Return_key::first_button, FL_Enter, nullptr, 0},
      {"escape keeps", Return_key::first_button, FL_Escape, nullptr, 0},
      {"delete pressed", Return_key::first_button, 0, "Delete", 1},
      {"cancel pressed", Return_key::first_button, 0, "Cancel", 0},
      {"default: return on the second", Return_key::second_button, FL_Enter, nullptr, 1},
      {"default: escape on the first", Return_key::second_button, FL_Escape, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Answer_step step;
    step.key = c.key;
    step.button = c.button;
    Fl::add_timeout(0.05, answer_question, &step);
    Fl::add_timeout(5.0, give_up, &step);
    const int answer =
        ask_choice("Delete 1 image?\na.jpg", "Cancel", "Delete", nullptr, c.return_key);
    Fl::remove_timeout(answer_question, &step);
    Fl::remove_timeout(give_up, &step);
    EXPECT_FALSE(step.timed_out);
    EXPECT_EQ(answer, c.answer);
  }
}

TEST(As_label, doubles_at_signs_only) {
  EXPECT_EQ(as_label("a@b@@c&d%s"), "a@@b@@@@c&d%s");
  EXPECT_EQ(as_label(""), "");
}

}  // namespace

// FLTK's message dialogs behind a replaceable backend.
#include "core/messages.h"

#include <FL/fl_ask.H>

#include "core/event_pump.h"

namespace {

// Each box runs its own event loop while it waits: a pump like any other.
class Fltk_messages : public Message_backend {
 public:
  void alert(const std::string& text) override {
    const Pump_scope pumping;
    fl_alert("%s", as_label(text).c_str());
  }
  void message(const std::string& text) override {
    const Pump_scope pumping;
    fl_message("%s", as_label(text).c_str());
  }
  int choice(const std::string& question, const char* b0, const char* b1, const char* b2) override {
    const Pump_scope pumping;
    return fl_choice("%s", b0, b1, b2, as_label(question).c_str());
  }
  int choice_with_return_key(const std::string& question, const char* b0, const char* b1,
                             const char* b2, Return_key return_key) override {
    if (return_key == Return_key::second_button || b2) return choice(question, b0, b1, b2);
    // fl_choice gives Return to its second button and Escape to its first: with the first
    // left out, Escape and the close box still answer 0 (the window's callback), and the
    // harmless answer sits on the Return button, shown rightmost as button 0 is otherwise.
    const Pump_scope pumping;
    const int answer = fl_choice("%s", nullptr, b0, b1, as_label(question).c_str());
    return answer == 2 ? 1 : 0;
  }
};

Fltk_messages g_fltk_messages;
Message_backend* g_backend = &g_fltk_messages;

}  // namespace

std::string as_label(const std::string& text) {
  std::string label;
  label.reserve(text.size());
  for (char c : text) {
    label += c;
    if (c == '@') label += '@';
  }
  return label;
}

Message_backend* set_message_backend(Message_backend* backend) {
  Message_backend* previous = g_backend;
  g_backend = backend ? backend : &g_fltk_messages;
  return previous;
}

void show_alert(const std::string& text) { g_backend->alert(text); }
void show_message(const std::string& text) { g_backend->message(text); }
int ask_choice(const std::string& question, const char* button0, const char* button1,
               const char* button2, Return_key return_key) {
  return g_backend->choice_with_return_key(question, button0, button1, button2, return_key);
}

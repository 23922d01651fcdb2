// The questions over the message seam (see the header).
#include "hdr/hdr_questions.h"

#include "core/messages.h"

int Message_questions::ask(const std::string& question, const char* button0, const char* button1,
                           const char* button2) {
  return ask_choice(question, button0, button1, button2);
}

void Message_questions::warn(const std::string& text) { show_alert(text); }

// How HDR creation asks the user and warns them without knowing the window: the dialogs
// pass the one implementation over the message seam; tests script the seam behind it.
// Refusals that end the work are no question: they are thrown as Refusal.
#pragma once
#include <string>

class Hdr_questions {
 public:
  virtual ~Hdr_questions() = default;
  /// A question with up to three buttons (a null label leaves that button out); returns
  /// the index of the button pressed: 0, 1 or 2.
  virtual int ask(const std::string& question, const char* button0, const char* button1,
                  const char* button2) = 0;
  /// A warning after which the work goes on (another camera, a file of a batch skipped).
  virtual void warn(const std::string& text) = 0;
};

/// The questions as the user's dialogs: ask_choice and show_alert of core/messages.h.
class Message_questions : public Hdr_questions {
 public:
  int ask(const std::string& question, const char* button0, const char* button1,
          const char* button2) override;
  void warn(const std::string& text) override;
};

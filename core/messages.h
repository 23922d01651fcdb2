// The one way the program speaks to the user: alerts, hints and questions.
// Texts are always handed to FLTK as the argument of "%s", never as a format, so a path
// or an EXIF string holding '%' is shown as it stands. Tests install a scripted backend.
#pragma once
#include <string>

/// A failure or refusal (fl_alert).
void show_alert(const std::string& text);
/// A hint (fl_message).
void show_message(const std::string& text);
/// Which button the Return key presses in a question. Escape and the window's close box
/// always give button 0, so button 0 is the harmless answer.
enum class Return_key {
  second_button,  // FLTK's default: Return picks button 1
  first_button    // Return also keeps everything (two-button questions only)
};

/// A question with up to three buttons (fl_choice); returns the index of the button
/// pressed: 0, 1 or 2. A null label leaves that button out. Return_key::first_button is
/// for questions whose other answer loses work or files; it takes two buttons (button2
/// null).
int ask_choice(const std::string& question, const char* button0, const char* button1,
               const char* button2, Return_key return_key = Return_key::second_button);

/// Where the three calls go; the default shows FLTK's dialogs.
class Message_backend {
 public:
  virtual ~Message_backend() = default;
  virtual void alert(const std::string& text) = 0;
  virtual void message(const std::string& text) = 0;
  virtual int choice(const std::string& question, const char* b0, const char* b1,
                     const char* b2) = 0;
  /// The question with the Return key on return_key's button (ask_choice calls this); a
  /// backend without keys answers it as choice.
  virtual int choice_with_return_key(const std::string& question, const char* b0, const char* b1,
                                     const char* b2, Return_key return_key) {
    (void)return_key;
    return choice(question, b0, b1, b2);
  }
};

/// The text as an FLTK label that shows it unchanged: every '@' doubled, since a label
/// takes '@' for the start of a symbol and drops the rest of the text from there.
std::string as_label(const std::string& text);

/// Installs a backend (not owned) and returns the previous one; nullptr restores FLTK's.
Message_backend* set_message_backend(Message_backend* backend);

// The one boundary of the program's commands. Every menu, button and timer callback that
// loads, saves or runs an algorithm runs its work through a Command: whatever the work
// throws stops there, the command's state is put back, and the user reads one alert
// (through core/messages.h) while the program runs on.
//
// It is also where one job at a time is kept: a running command serves events (busy
// cursor, progress, questions), and a command started from one of those events would run
// inside it, with the first one's state half-changed and its operators busy. Such a
// command is refused with k_job_running_text before its work begins; the running one goes
// on undisturbed.
#pragma once
#include <functional>
#include <stdexcept>
#include <string>

#include "core/refusal.h"

class Fl_Widget;

/// The alert of a command refused because another one is running.
constexpr char k_job_running_text[] =
    "Another job is running. Please wait until it has finished, then try again.";

/// The alert for a failure: the exception's text, or fallback when it has none.
std::string failure_text(const std::exception& e, const std::string& fallback);

/// How one command reports a failure and what it puts back first. Set what applies,
/// then run the work:
///   Command().fallback("Cannot read image file: " + path).reactivate(dialog).run([&] {...});
class Command {
 public:
  /// The alert when the exception has no text, or is no std::exception.
  Command& fallback(std::string text);
  /// The fallback also replaces a text that does not name path (a library's message
  /// about some file): the user learns which file failed.
  Command& naming(std::string path);
  /// The alert whatever was thrown but a Refusal; the exception's own text goes to
  /// standard error.
  Command& fixed_alert(std::string text);
  /// The command's own clean-up (its progress, its running flag), run first on failure.
  Command& on_failure(std::function<void()> undo);
  /// Made active again on failure (the dialog or window the command greyed out).
  Command& reactivate(Fl_Widget* widget);
  /// Leaves the cursor alone (by default a failure sets it back from busy).
  Command& keep_cursor();

  /// Runs work. When it throws: the clean-up, the cursor, the reactivation, then the
  /// alert, in that order. A Refusal's text is the alert as it stands, whatever the
  /// settings above say. Returns whether the work ran to its end.
  /// Started from an event served while another command runs (a deeper pump_depth()
  /// than that command's), work does not run: the clean-up and the reactivation, the
  /// cursor left to the running command, then the alert k_job_running_text; false.
  /// A command's own steps (commands run inside its work) are not refused.
  bool run(const std::function<void()>& work) const;

 private:
  void fail(const std::string& text, const char* what, bool restore_cursor) const;

  std::string m_fallback;
  std::string m_named_path;
  bool m_fixed = false;
  std::function<void()> m_undo;
  Fl_Widget* m_reactivate = nullptr;
  bool m_restore_cursor = true;
};

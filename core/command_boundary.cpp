// The commands' boundary (see the header).
#include "core/command_boundary.h"

#include <FL/Fl_Widget.H>

#include "core/busy_cursor.h"
#include "core/event_pump.h"
#include "core/image_errors.h"
#include "core/log.h"
#include "core/messages.h"

std::string failure_text(const std::exception& e, const std::string& fallback) {
  const char* what = e.what();
  return what && *what ? std::string(what) : fallback;
}

Command& Command::fallback(std::string text) {
  m_fallback = std::move(text);
  return *this;
}

Command& Command::naming(std::string path) {
  m_named_path = std::move(path);
  return *this;
}

Command& Command::fixed_alert(std::string text) {
  m_fallback = std::move(text);
  m_fixed = true;
  return *this;
}

Command& Command::on_failure(std::function<void()> undo) {
  m_undo = std::move(undo);
  return *this;
}

Command& Command::reactivate(Fl_Widget* widget) {
  m_reactivate = widget;
  return *this;
}

Command& Command::keep_cursor() {
  m_restore_cursor = false;
  return *this;
}

namespace {

// The commands running now: how many, nested, and the pump depth the outermost started
// at. Its own steps run at that depth; anything deeper came in through an event pump.
struct Running_commands {
  int count = 0;
  int depth = 0;
};
Running_commands g_running;

class Running_scope {
 public:
  Running_scope() {
    if (g_running.count++ == 0) g_running.depth = pump_depth();
  }
  ~Running_scope() { --g_running.count; }
  Running_scope(const Running_scope&) = delete;
  Running_scope& operator=(const Running_scope&) = delete;
};

bool inside_running_command() { return g_running.count > 0 && pump_depth() > g_running.depth; }

}  // namespace

bool Command::run(const std::function<void()>& work) const {
  if (inside_running_command()) {
    fail(k_job_running_text, nullptr, false);
    return false;
  }
  // The failure is told once the command no longer runs: its alert serves events too.
  std::string text;
  std::string what;
  bool has_what = false;
  {
    const Running_scope running;
    try {
      work();
      return true;
    } catch (const Refusal& refusal) {
      text = refusal.what();
    } catch (const std::exception& e) {
      text = m_fixed ? m_fallback : failure_text(e, m_fallback);
      if (!m_named_path.empty()) text = text_naming(text, m_named_path, m_fallback);
      what = e.what();
      has_what = true;
    } catch (...) {
      text = m_fallback;
    }
  }
  fail(text, has_what ? what.c_str() : nullptr, m_restore_cursor);
  return false;
}

void Command::fail(const std::string& text, const char* what, bool restore_cursor) const {
  if (m_fixed && what && *what) log_error("%s", what);
  // A clean-up that throws in turn must not hide the first failure from the user.
  if (m_undo) {
    try {
      m_undo();
    } catch (...) {
    }
  }
  if (restore_cursor) set_busy_cursor(FL_CURSOR_DEFAULT);
  if (m_reactivate) m_reactivate->activate();
  show_alert(text.empty() ? std::string("The command failed.") : text);
}

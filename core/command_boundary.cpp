// The commands' boundary (see the header).
#include "core/command_boundary.h"

#include <FL/Fl_Widget.H>

#include "core/busy_cursor.h"
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

bool Command::run(const std::function<void()>& work) const {
  try {
    work();
    return true;
  } catch (const Refusal& refusal) {
    fail(refusal.what(), nullptr);
  } catch (const std::exception& e) {
    std::string text = m_fixed ? m_fallback : failure_text(e, m_fallback);
    if (!m_named_path.empty()) text = text_naming(text, m_named_path, m_fallback);
    fail(text, e.what());
  } catch (...) {
    fail(m_fallback, nullptr);
  }
  return false;
}

void Command::fail(const std::string& text, const char* what) const {
  if (m_fixed && what && *what) log_error("%s", what);
  // A clean-up that throws in turn must not hide the first failure from the user.
  if (m_undo) {
    try {
      m_undo();
    } catch (...) {
    }
  }
  if (m_restore_cursor) set_busy_cursor(FL_CURSOR_DEFAULT);
  if (m_reactivate) m_reactivate->activate();
  show_alert(text.empty() ? std::string("The command failed.") : text);
}

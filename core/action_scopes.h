// Scopes around an action that serves events: its re-entry guard and the busy cursor.
#pragma once
#include "core/busy_cursor.h"

/// Sets flag for the life of the object. Each action keeps one flag (a viewer action one
/// shared by every viewer), so a second call that arrives through the busy cursor's event
/// pumping can return at once.
class Guard {
public:
  explicit Guard(bool& flag) : m_flag(flag) { m_flag = true; }
  ~Guard() { m_flag = false; }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

private:
  bool& m_flag;
};

/// The busy cursor on for the life of the object.
class Busy {
public:
  Busy() { set_busy_cursor(FL_CURSOR_WAIT); }
  ~Busy() { set_busy_cursor(FL_CURSOR_DEFAULT); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;
};

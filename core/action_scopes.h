// Scopes around an action that serves events: its re-entry guard and the busy cursor.
#pragma once
#include "core/busy_cursor.h"
#include "core/guard.h"

/// The busy cursor on for the life of the object.
class Busy {
 public:
  Busy() { set_busy_cursor(FL_CURSOR_WAIT); }
  ~Busy() { set_busy_cursor(FL_CURSOR_DEFAULT); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;
};

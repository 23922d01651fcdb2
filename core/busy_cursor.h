// The wait cursor around long actions; every call also serves pending events.
#pragma once
#include <FL/Enumerations.H>

/// Sets the cursor of the first shown window (nothing when none is shown), then runs
/// Fl::check once. Pass FL_CURSOR_WAIT before a long action and FL_CURSOR_DEFAULT after.
/// Any callback may run inside: call it where the caller's own state is consistent.
void set_busy_cursor(Fl_Cursor cursor);

/// Fl::check once, counted as an event pump (core/event_pump.h): the one way windows serve
/// events in the middle of their work.
void serve_events();

// Lets long jobs hand control to the event loop without depending on the toolkit.
// The program installs Fl::check; algorithm tests install a counter or nothing.
#pragma once

/// Runs pending events once (Fl::check in the program; nothing until one is installed),
/// counted as a pump (Pump_scope).
void pump_events();

/// Installs the function pump_events calls; returns the previous one.
using Event_pump_fn = void (*)();
Event_pump_fn set_event_pump(Event_pump_fn fn);

/// Marks events being served for its life. Every place that serves events (pump_events,
/// the busy cursor, progress windows, the toolkit's message boxes) runs inside one, so the
/// command boundary can tell a command started by the user from one started by an event
/// served inside a running job (core/command_boundary.h).
class Pump_scope {
 public:
  Pump_scope();
  ~Pump_scope();
  Pump_scope(const Pump_scope&) = delete;
  Pump_scope& operator=(const Pump_scope&) = delete;
};

/// How many Pump_scopes are open, nested (0 in the main loop).
int pump_depth();

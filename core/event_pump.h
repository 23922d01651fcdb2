// Lets long jobs hand control to the event loop without depending on the toolkit.
// The program installs Fl::check; algorithm tests install a counter or nothing.
#pragma once

/// Runs pending events once (Fl::check in the program; nothing until one is installed).
void pump_events();

/// Installs the function pump_events calls; returns the previous one.
using Event_pump_fn = void (*)();
Event_pump_fn set_event_pump(Event_pump_fn fn);

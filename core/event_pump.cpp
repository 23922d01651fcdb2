#include "core/event_pump.h"

namespace {
Event_pump_fn g_pump = nullptr;
}

void pump_events() {
  if (g_pump) g_pump();
}

Event_pump_fn set_event_pump(Event_pump_fn fn) {
  Event_pump_fn previous = g_pump;
  g_pump = fn;
  return previous;
}

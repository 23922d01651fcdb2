#include "core/event_pump.h"

namespace {
Event_pump_fn g_pump = nullptr;
int g_pump_depth = 0;
}  // namespace

void pump_events() {
  const Pump_scope pumping;
  if (g_pump) g_pump();
}

Event_pump_fn set_event_pump(Event_pump_fn fn) {
  Event_pump_fn previous = g_pump;
  g_pump = fn;
  return previous;
}

Pump_scope::Pump_scope() { ++g_pump_depth; }
Pump_scope::~Pump_scope() { --g_pump_depth; }

int pump_depth() { return g_pump_depth; }

#include "core/busy_cursor.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "core/event_pump.h"

void set_busy_cursor(Fl_Cursor cursor) {
  if (Fl_Window* w = Fl::first_window()) w->cursor(cursor);
  serve_events();
}

void serve_events() {
  const Pump_scope pumping;
  Fl::check();
}

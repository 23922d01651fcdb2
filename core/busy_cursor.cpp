#include "core/busy_cursor.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

void set_busy_cursor(Fl_Cursor cursor) {
  if (Fl_Window* w = Fl::first_window()) w->cursor(cursor);
  Fl::check();
}

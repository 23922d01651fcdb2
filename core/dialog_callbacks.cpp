#include "core/dialog_callbacks.h"

#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>

namespace {

// The window that holds the widget; a window's own callback gets the window itself.
Fl_Window* holder_of(Fl_Widget* widget) {
  if (!widget) return nullptr;
  if (Fl_Window* w = widget->window()) return w;
  return widget->as_window();
}

Dialog_actions* actions_of(Fl_Widget* widget) {
  return dynamic_cast<Dialog_actions*>(holder_of(widget));
}

}  // namespace

void hide_parent_cb(Fl_Widget* widget, void*) {
  if (Fl_Window* w = holder_of(widget)) w->hide();
}

void cb_first_action(Fl_Widget* widget, void*) {
  if (Dialog_actions* a = actions_of(widget)) a->first_action();
}

void cb_second_action(Fl_Widget* widget, void*) {
  if (Dialog_actions* a = actions_of(widget)) a->second_action();
}

// Widget callbacks shared by every dialog: the one that closes a dialog, and the two
// that forward to a dialog's own actions (dialogs built as a UI class with virtual
// actions and a behaviour class that implements them).
#pragma once

class Fl_Widget;

/// The two actions a dialog's UI class declares; its behaviour class decides what they do.
/// A dialog derives from its FLTK window class and from this.
class Dialog_actions {
 public:
  virtual ~Dialog_actions() = default;
  virtual void first_action() {}
  virtual void second_action() {}
};

/// Hides the window holding the widget (Close and Cancel buttons).
void hide_parent_cb(Fl_Widget* widget, void* data);
/// Calls first_action of the window holding the widget; nothing when that window has no
/// actions.
void cb_first_action(Fl_Widget* widget, void* data);
/// Calls second_action of the window holding the widget, likewise.
void cb_second_action(Fl_Widget* widget, void* data);

// The "Calibrate Image" dialog's widgets: the chosen pixel's luminance, its unit, and
// "Calibrate" / "Cancel". Its behaviour class implements apply.
#pragma once
#include <FL/Fl_Double_Window.H>

class Fl_Button;
class Fl_Return_Button;
class Fl_Value_Input;

class CalibrateDlg : public Fl_Double_Window {
 public:
  /// Builds the modal window (placed by the window system), hidden.
  CalibrateDlg(int w, int h, const char* title);

  /// "Calibrate" (also Enter): scales the image to the typed luminance.
  virtual void apply() = 0;

  /// The luminance in cd/m^2; no range or step, so any typed number reaches apply (which
  /// refuses text that is no number).
  Fl_Value_Input* value_input = nullptr;
  Fl_Return_Button* calibrate_button = nullptr;
  Fl_Button* cancel_button = nullptr;

 private:
  static void cb_apply(Fl_Widget* w, void* v);
};

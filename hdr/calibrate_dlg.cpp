// The calibration dialog's layout.
#include "hdr/calibrate_dlg.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Input.H>

#include "core/dialog_callbacks.h"

CalibrateDlg::CalibrateDlg(int w, int h, const char* title) : Fl_Double_Window(w, h, title) {
  value_input = new Fl_Value_Input(169, 51, 130, 25, "Luminance:");
  new Fl_Box(301, 59, 59, 17, "cd/m^2");
  calibrate_button = new Fl_Return_Button(365, 95, 120, 25, "Calibrate");
  calibrate_button->callback(cb_apply, this);
  new Fl_Box(8, 10, 475, 21,
             "Enter the luminance value for the selected pixel and click calibrate");
  cancel_button = new Fl_Button(293, 95, 70, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  set_modal();
  end();
}

void CalibrateDlg::cb_apply(Fl_Widget*, void* v) { static_cast<CalibrateDlg*>(v)->apply(); }

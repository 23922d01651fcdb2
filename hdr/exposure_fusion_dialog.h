// The "Exposure Fusion" dialog's widgets: three weight exponents and "Fuse" / "Cancel".
// Its behaviour class implements fuse.
#pragma once
#include <FL/Fl_Double_Window.H>

class Fl_Button;
class Fl_Group;
class Fl_Value_Slider;

class ExposureFusionDialog : public Fl_Double_Window {
 public:
  /// Builds the modal window (placed by the window system), hidden.
  ExposureFusionDialog(int w, int h, const char* title);

  /// "Fuse": fuses the grid's selected exposures with the sliders' exponents.
  virtual void fuse() = 0;

  // Read only when "Fuse" is pressed; they keep their values from one use to the next.
  Fl_Value_Slider* exposure_slider = nullptr;
  Fl_Value_Slider* contrast_slider = nullptr;
  Fl_Value_Slider* saturation_slider = nullptr;
  Fl_Button* fuse_button = nullptr;
  Fl_Button* cancel_button = nullptr;

 private:
  static void cb_fuse(Fl_Widget* w, void* v);
};

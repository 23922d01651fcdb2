// The "Create HDR" dialog's widgets: response, exposure step, options and the batch
// options with the output folder, name and types. The behaviour is CreateHDRDialogDrv.
#pragma once
#include <FL/Fl_Double_Window.H>

class Fl_Box;
class Fl_Button;
class Fl_Check_Button;
class Fl_Choice;
class Fl_Float_Input;
class Fl_Group;
class Fl_Input;
class Fl_Round_Button;
class Fl_Value_Slider;
struct Fl_Menu_Item;

/// Start of "Exposures per HDR:".
constexpr double k_exposures_per_hdr_start = 5;

class CreateHDRDialog : public Fl_Double_Window {
 public:
  /// Builds the modal window (placed by the window system) and its widgets.
  CreateHDRDialog(int width, int height, const char* title);

  virtual void create() {}
  virtual void plot_response() {}
  virtual void open_for_selection(bool batch) { (void)batch; }
  virtual void enter_response() {}

  Fl_Choice* exposure_variation = nullptr;
  Fl_Choice* camera_response = nullptr;
  Fl_Group* options_group = nullptr;
  Fl_Check_Button* use_tiles = nullptr;
  Fl_Check_Button* reduce_noise = nullptr;
  Fl_Check_Button* align_images = nullptr;
  Fl_Float_Input* exposure_ratio = nullptr;
  Fl_Button* create_button = nullptr;
  Fl_Button* cancel_button = nullptr;
  Fl_Group* batch_group = nullptr;
  Fl_Value_Slider* exposures_per_hdr = nullptr;
  Fl_Check_Button* autodetect = nullptr;
  Fl_Check_Button* tone_map = nullptr;
  Fl_Round_Button* save_both = nullptr;
  Fl_Round_Button* save_only_ldr = nullptr;
  Fl_Group* output_group = nullptr;
  Fl_Input* destination = nullptr;
  Fl_Button* browse_button = nullptr;
  Fl_Choice* hdr_save_type = nullptr;
  Fl_Choice* ldr_save_type = nullptr;
  Fl_Input* base_name = nullptr;
  Fl_Button* plot_button = nullptr;
  Fl_Box* batch_caption = nullptr;

  /// The item of a choice's menu with that label, or null.
  static Fl_Menu_Item* find_item(Fl_Choice* choice, const char* label);

 private:
  /// "Browse...": the directory chooser, shown at the current folder.
  virtual void browse_destination() {}

  static void cb_variation_step(Fl_Widget* w, void*);
  static void cb_variation_other(Fl_Widget* w, void*);
  static void cb_response_fixed(Fl_Widget* w, void*);
  static void cb_response_stored(Fl_Widget* w, void*);
  static void cb_response_enter(Fl_Widget* w, void*);
  static void cb_use_tiles(Fl_Widget* w, void*);
  static void cb_autodetect(Fl_Widget* w, void*);
  static void cb_tone_map(Fl_Widget* w, void*);
  static void cb_save_only_ldr(Fl_Widget* w, void*);
  static void cb_save_both(Fl_Widget* w, void*);
  static void cb_browse(Fl_Widget* w, void*);
  static void cb_create(Fl_Widget* w, void*);
  static void cb_plot(Fl_Widget* w, void*);
};

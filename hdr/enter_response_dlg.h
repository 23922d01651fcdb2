// The "Enter Camera Response" dialog: a camera make and model, a number of polynomial
// coefficients (1 to 8) and the coefficients C0 to C7 of the red, green and blue channels.
// What is typed is not kept anywhere: "Save" leaves the dialog open and does nothing.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <array>

#include "core/dialog_callbacks.h"

class Fl_Button;
class Fl_Group;
class Fl_Input;
class Fl_Return_Button;
class Fl_Value_Input;
class Fl_Value_Slider;

/// Coefficients per channel, and the slider's range.
constexpr int k_max_coefficients = 8;
/// The number of coefficients a new dialog starts with.
constexpr double k_coefficients_start = 5;

/// Widgets; the slider runs first_action, "Save" (and Enter) second_action, "Cancel" hides.
class EnterResponseDlg : public Fl_Double_Window, public Dialog_actions {
 public:
  /// Builds the modal window (placed by the window system) and its widgets, hidden.
  EnterResponseDlg(int width, int height, const char* title);

  /// Coefficient k (0 to 7) of channel c (0 red, 1 green, 2 blue).
  Fl_Value_Input* coefficient(int c, int k) const {
    return coefficients[size_t(c) * k_max_coefficients + k];
  }

  Fl_Input* make_input = nullptr;
  Fl_Input* model_input = nullptr;
  Fl_Value_Slider* coefficient_count = nullptr;
  Fl_Group* channel_groups[3] = {};
  /// Red C0 to C7, then green, then blue.
  std::array<Fl_Value_Input*, 3 * k_max_coefficients> coefficients{};
  Fl_Return_Button* save_button = nullptr;
  Fl_Button* cancel_button = nullptr;
};

class EnterResponseDlgDrv : public EnterResponseDlg {
 public:
  EnterResponseDlgDrv(int width, int height, const char* title);

  /// Greys the coefficient rows beyond the chosen number, puts "MyMake" and "MyModel" into
  /// the make and model, and shows the dialog. The slider and the coefficients keep what
  /// they held.
  void open();
  /// Ck of all three channels is active exactly when the slider's value is above k.
  void update_rows();

  void first_action() override { update_rows(); }
  /// "Save": nothing is read, stored or closed.
  void second_action() override {}
};

/// The program's response entry dialog; main creates it.
extern EnterResponseDlgDrv* g_enter_response_dialog;

// The "Enter Camera Response" dialog's widgets and its row greying.
#include "hdr/enter_response_dlg.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

EnterResponseDlgDrv* g_enter_response_dialog = nullptr;

namespace {

const char* const k_row_labels[k_max_coefficients] = {
    "C0:", "C1:", "C2:", "C3:", "C4:", "C5:", "C6:", "C7:"};
const int k_row_y[k_max_coefficients] = {152, 180, 208, 237, 265, 294, 322, 351};

struct Channel_column {
  const char* name;
  int group_x, input_x;
};
const Channel_column k_columns[3] = {{"Red", 18, 70}, {"Green", 172, 224}, {"Blue", 326, 378}};

}  // namespace

EnterResponseDlg::EnterResponseDlg(int width, int height, const char* title)
    : Fl_Double_Window(0, 0, width, height, title) {
  force_position(0);
  make_input = new Fl_Input(178, 20, 155, 25, "Camera make:");
  model_input = new Fl_Input(178, 51, 155, 25, "Camera model:");

  coefficient_count = new Fl_Value_Slider(192, 94, 140, 22, "Number of coefficients:");
  coefficient_count->type(FL_HOR_NICE_SLIDER);
  coefficient_count->bounds(1, k_max_coefficients);
  coefficient_count->step(1);
  coefficient_count->value(k_coefficients_start);
  coefficient_count->textsize(14);
  coefficient_count->align(FL_ALIGN_LEFT);
  coefficient_count->tooltip("Number of the polynomial coefficients for the response curve.");
  coefficient_count->callback(cb_first_action);

  for (int c = 0; c < 3; ++c) {
    Fl_Group* group = new Fl_Group(k_columns[c].group_x, 144, 115, 240, k_columns[c].name);
    group->box(FL_ENGRAVED_BOX);
    for (int k = 0; k < k_max_coefficients; ++k) {
      auto* input = new Fl_Value_Input(k_columns[c].input_x, k_row_y[k], 30, 25, k_row_labels[k]);
      input->bounds(0, 100);
      input->step(0.1);
      input->value(1.0);
      coefficients[size_t(c) * k_max_coefficients + k] = input;
    }
    group->end();
    channel_groups[c] = group;
  }

  save_button = new Fl_Return_Button(370, 390, 72, 25, "Save");
  save_button->callback(cb_second_action);
  cancel_button = new Fl_Button(298, 390, 70, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  end();
  set_modal();
}

EnterResponseDlgDrv::EnterResponseDlgDrv(int width, int height, const char* title)
    : EnterResponseDlg(width, height, title) {}

void EnterResponseDlgDrv::open() {
  update_rows();
  make_input->value("MyMake");
  model_input->value("MyModel");
  show();
}

void EnterResponseDlgDrv::update_rows() {
  const double count = coefficient_count->value();
  for (int k = 0; k < int(coefficient_count->maximum()) && k < k_max_coefficients; ++k)
    for (int c = 0; c < 3; ++c) {
      Fl_Value_Input* input = coefficient(c, k);
      if (count > k)
        input->activate();
      else
        input->deactivate();
    }
}

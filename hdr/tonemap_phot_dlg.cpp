// The "Tonemap Image" dialog's layout and its one-line callbacks.
#include "hdr/tonemap_phot_dlg.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Slider.H>

#include "core/dialog_callbacks.h"
#include "core/hdr_image.h"
#include "core/hist_box.h"
#include "hdr/tonemap_image.h"
#include "hdr/tonemap_phot_dlg_drv.h"
#include "hdr/tonemap_photoreceptor.h"

namespace {

// The type items reach the program's dialog, as the operators' contrast hook does.
void cb_automatic(Fl_Widget*, void*) {
  if (g_tonemap_dialog) g_tonemap_dialog->choose_type(k_tonemap_automatic);
}
void cb_global(Fl_Widget*, void*) {
  if (g_tonemap_dialog) g_tonemap_dialog->choose_type(k_tonemap_global);
}
void cb_local(Fl_Widget*, void*) {
  if (g_tonemap_dialog) g_tonemap_dialog->choose_type(k_tonemap_local);
}
void cb_interactive(Fl_Widget*, void*) {
  if (g_tonemap_dialog) g_tonemap_dialog->choose_type(k_tonemap_interactive);
}
void cb_asymmetric(Fl_Widget*, void*) {
  if (g_tonemap_dialog) g_tonemap_dialog->choose_type(k_tonemap_asymmetric);
}

TonemapPhotDlgDrv* owner(Fl_Widget* w) {
  return w ? dynamic_cast<TonemapPhotDlgDrv*>(w->window()) : nullptr;
}
void cb_contrast(Fl_Widget* w, void*) {
  if (TonemapPhotDlgDrv* d = owner(w)) d->contrast_released();
}
void cb_refresh(Fl_Widget* w, void*) {
  if (TonemapPhotDlgDrv* d = owner(w)) d->refresh_preview();
}
void cb_run(Fl_Widget* w, void*) {
  if (TonemapPhotDlgDrv* d = owner(w)) d->run();
}

// Copied into the choice, which then owns its items.
const Fl_Menu_Item k_type_items[] = {
    {"Automatic", 0, cb_automatic, nullptr, 0, 0, 0, 0, 0},
    {"Global", 0, cb_global, nullptr, 0, 0, 0, 0, 0},
    {"Local", 0, cb_local, nullptr, 0, 0, 0, 0, 0},
    {"Interactive", 0, cb_interactive, nullptr, 0, 0, 0, 0, 0},
    {"Asymmetric", 0, cb_asymmetric, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
};

const Fl_Menu_Item k_save_type_items[] = {
    {"JPEG", 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"TIFF", 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
};

Fl_Group* frame(int x, int y, int w, int h, const char* label) {
  auto* g = new Fl_Group(x, y, w, h, label);
  g->box(FL_THIN_UP_FRAME);
  return g;
}

Fl_Value_Slider* slider(int y, const char* label, double lo, double hi, double value,
                        Fl_Callback* cb) {
  auto* s = new Fl_Value_Slider(101, y, 165, 25, label);
  s->type(FL_HOR_NICE_SLIDER);
  s->align(FL_ALIGN_LEFT);
  s->textsize(14);
  s->bounds(lo, hi);
  s->value(value);
  s->when(FL_WHEN_RELEASE);
  s->callback(cb);
  return s;
}

}  // namespace

TonemapPhotDlg::TonemapPhotDlg(int w, int h, const char* title) : Fl_Double_Window(w, h, title) {
  preview_frame = frame(294, 23, 275, 215, "Preview");
  preview_box = new Fl_Box(299, 28, 265, 204);
  preview_frame->end();
  update_toggle = new Fl_Check_Button(295, 245, 135, 15, "Update preview");
  update_toggle->value(1);

  batch_frame = frame(5, 257, 285, 88, "Batch Options");
  suffix_input = new Fl_Input(155, 303, 60, 25, "Save by appending:");
  suffix_input->value("_tm");
  save_type_choice = new Fl_Choice(93, 273, 122, 25, "Save Type:");
  save_type_choice->copy(k_save_type_items);
  save_type_choice->value(0);
  batch_frame->end();

  parameter_frame = frame(5, 23, 285, 215, "Tonemapping Parameters");
  parameter_group = new Fl_Group(9, 40, 280, 192);
  type_choice = new Fl_Choice(84, 47, 116, 25);
  type_choice->copy(k_type_items);
  type_choice->value(int(k_tonemap_automatic));
  saturation_slider =
      slider(99, "Saturation:", k_saturation_min, k_saturation_max, k_saturation_start, cb_refresh);
  lightness_slider =
      slider(129, "Lightness:", k_lightness_min, k_lightness_max, k_lightness_start, cb_refresh);
  contrast_slider =
      slider(159, "Contrast:", k_contrast_min, k_contrast_max, k_contrast_start, cb_contrast);
  contrast_slider->tooltip("Percentage of pixels that will become white in the tonemapped image..");
  gamma_slider = slider(203, "Gamma:", k_interactive_gamma_min, k_interactive_gamma_max,
                        k_interactive_gamma_start, cb_refresh);
  gamma_slider->step(0.1);
  gamma_slider->tooltip(
      "The tone mapped image is raised to the power of 1 over this value for display purposes.");
  type_caption = new Fl_Box(39, 51, 40, 17, "Type:");
  parameter_group->end();
  parameter_frame->end();

  cancel_button = new Fl_Button(384, 320, 74, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  run_button = new Fl_Return_Button(462, 320, 110, 25, "Tonemap");
  run_button->callback(cb_run);

  histogram_frame = frame(5, 257, 285, 88, "Histogram");
  hist_box = new HistBox(18, 260, 256, 82);
  hist_box->box(FL_FLAT_BOX);
  hist_box->color(49);  // the toolkit's background grey
  histogram_frame->end();

  batch_frame->hide();
  saturation_slider->deactivate();
  lightness_slider->deactivate();
  contrast_slider->deactivate();
  set_modal();
  end();
}

TonemapPhotDlg::~TonemapPhotDlg() = default;

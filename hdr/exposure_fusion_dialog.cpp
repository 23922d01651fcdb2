// The exposure fusion dialog's layout.
#include "hdr/exposure_fusion_dialog.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include "core/dialog_callbacks.h"
#include "hdr/exposure_fusion.h"

namespace {

Fl_Value_Slider* exponent_slider(int y, const char* label) {
  auto* s = new Fl_Value_Slider(132, y, 102, 22, label);
  s->type(FL_HOR_SLIDER);
  s->textsize(14);
  s->align(FL_ALIGN_LEFT);
  s->bounds(k_fusion_exponent_min, k_fusion_exponent_max);
  s->value(k_fusion_exponent_default);
  return s;
}

}  // namespace

ExposureFusionDialog::ExposureFusionDialog(int w, int h, const char* title)
    : Fl_Double_Window(w, h, title) {
  auto* frame = new Fl_Group(5, 27, 284, 144, "Weights");
  frame->box(FL_ENGRAVED_BOX);
  exposure_slider = exponent_slider(54, "Exposure:");
  contrast_slider = exponent_slider(89, "Contrast:");
  saturation_slider = exponent_slider(124, "Saturation:");
  frame->end();
  fuse_button = new Fl_Button(215, 179, 74, 25, "Fuse");
  fuse_button->callback(cb_fuse, this);
  cancel_button = new Fl_Button(137, 179, 74, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  set_modal();
  resizable(this);
  end();
}

void ExposureFusionDialog::cb_fuse(Fl_Widget*, void* v) {
  static_cast<ExposureFusionDialog*>(v)->fuse();
}

// Resize Image: the widgets, the linked fields and unit switch, and the resize of a
// viewer's image or of a batch of files.
#include "viewer/resize_dlg.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Float_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>

#include <cstdint>

#include "core/bspline_resample.h"
#include "core/dialog_callbacks.h"
#include "core/hdr_image.h"
#include "core/messages.h"
#include "viewer/field_numbers.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/resize_size.h"

ResizeDlgDrv* g_resize_dialog = nullptr;

namespace {

constexpr char k_invalid_alert[] =
    "Invalid resize dimensions specified. Please enter positive values.";
constexpr char k_failed_alert[] = "Resize failed. Please specify a smaller resize factor.";

ResizeDlg* dialog_of(Fl_Widget* w) { return dynamic_cast<ResizeDlg*>(w->window()); }

void cb_apply(Fl_Widget* w, void*) {
  if (ResizeDlg* d = dialog_of(w)) d->apply();
}
void cb_width(Fl_Widget* w, void*) {
  if (ResizeDlg* d = dialog_of(w)) d->width_changed();
}
void cb_height(Fl_Widget* w, void*) {
  if (ResizeDlg* d = dialog_of(w)) d->height_changed();
}
void cb_pixels(Fl_Widget* w, void*) {
  if (ResizeDlg* d = dialog_of(w)) d->to_pixels();
}
void cb_percent(Fl_Widget* w, void*) {
  if (ResizeDlg* d = dialog_of(w)) d->to_percent();
}
void cb_browse(Fl_Widget* w, void*) {
  if (ResizeDlg* d = dialog_of(w)) d->browse();
}

void set_integer(Fl_Input* input, int64_t v) { input->value(std::to_string(v).c_str()); }

// A resized copy by interpolation code, so the image is replaced only once it exists.
cimg_library::CImg<float> resized_copy(const Hdr_image& image, uint32_t w, uint32_t h,
                                       int interpolation) {
  if (interpolation == k_interpolation_bspline) return resized_bspline(image, w, h);
  return image.get_resize(int(w), int(h), -100, -100, interpolation);
}

}  // namespace

ResizeDlg::ResizeDlg(int w, int h, const char* title) : Batch_image_dlg(w, h, title) {
  force_position(0);
  width_input = new Fl_Int_Input(128, 20, 70, 25, "Width:");
  width_input->when(FL_WHEN_CHANGED);
  width_input->callback(cb_width);
  height_input = new Fl_Float_Input(128, 49, 70, 25, "Height:");
  height_input->when(FL_WHEN_CHANGED);
  height_input->callback(cb_height);
  aspect_button = new Fl_Check_Button(110, 86, 175, 15, "Preserve Aspect Ratio");
  aspect_button->value(1);
  pixels_button = new Fl_Round_Button(223, 28, 70, 15, "Pixels");
  pixels_button->type(FL_RADIO_BUTTON);
  pixels_button->value(1);
  pixels_button->callback(cb_pixels);
  percent_button = new Fl_Round_Button(223, 50, 70, 15, "Percent");
  percent_button->type(FL_RADIO_BUTTON);
  percent_button->callback(cb_percent);
  method_choice = new Fl_Choice(131, 112, 170, 25, "Method:");
  method_choice->add("Nearest (fastest)");
  method_choice->add("Linear");
  method_choice->add("Cubic (best quality)");
  method_choice->value(0);

  batch_group = new Fl_Group(7, 164, 376, 87, "Batch Options");
  batch_group->box(FL_ENGRAVED_BOX);
  destination_input = new Fl_Input(12, 187, 366, 25, "Destination Directory");
  destination_input->align(FL_ALIGN_TOP_LEFT);
  destination_input->tooltip("The resized images are saved in this directory");
  browse_button = new Fl_Button(12, 215, 74, 25, "Browse...");
  browse_button->callback(cb_browse);
  append_input = new Fl_Input(199, 215, 179, 25, "Append:");
  append_input->tooltip("Extension (if any) to add to the image name before saving");
  batch_group->end();

  resize_button = new Fl_Return_Button(300, 262, 83, 25, "Resize");
  resize_button->callback(cb_apply);
  cancel_button = new Fl_Button(224, 262, 74, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  end();
  set_modal();
}

ResizeDlgDrv::ResizeDlgDrv(int w, int h, const char* title) : ResizeDlg(w, h, title) {}

void ResizeDlgDrv::setup(const std::vector<Selected_file>* files, ImageDialogDrv* viewer) {
  if (!take_source(files, viewer, "_resize")) return;
  if (m_percent) {
    width_input->value("100");
    height_input->value("100");
  } else {
    set_integer(width_input, reference_width());
    set_integer(height_input, reference_height());
  }
  show();
}

void ResizeDlgDrv::width_changed() {
  if (!aspect_button->value()) return;
  if (m_percent) {
    height_input->value(width_input->value());
    return;
  }
  set_integer(height_input, linked_pixel_side(read_integer_field(width_input->value()),
                                              reference_width(), reference_height()));
}

void ResizeDlgDrv::height_changed() {
  if (!aspect_button->value()) return;
  if (m_percent) {
    width_input->value(height_input->value());
    return;
  }
  set_integer(width_input, linked_pixel_side(read_integer_field(height_input->value()),
                                             reference_height(), reference_width()));
}

void ResizeDlgDrv::to_percent() {
  percent_button->setonly();
  if (m_percent) return;
  m_percent = true;
  width_input->value(format_float_field(pixels_to_percent(read_integer_field(width_input->value()),
                                                          reference_width()))
                         .c_str());
  height_input->value(
      format_float_field(
          pixels_to_percent(read_integer_field(height_input->value()), reference_height()))
          .c_str());
}

void ResizeDlgDrv::to_pixels() {
  pixels_button->setonly();
  if (!m_percent) return;
  m_percent = false;
  set_integer(width_input,
              percent_to_pixels(read_decimal_field(width_input->value()), reference_width()));
  set_integer(height_input,
              percent_to_pixels(read_decimal_field(height_input->value()), reference_height()));
}

void ResizeDlgDrv::apply() {
  if (running()) return;
  const Resize_target target = resize_target(read_decimal_field(width_input->value()),
                                             read_decimal_field(height_input->value()), m_percent,
                                             reference_width(), reference_height());
  if (target.check == Resize_check::not_positive) {
    show_alert(k_invalid_alert);
    return;
  }
  if (target.check == Resize_check::too_large) {
    show_alert(k_failed_alert);
    return;
  }
  const int interpolation = resize_interpolation(method_choice->value());
  const bool batch = !files().empty();
  // A failed resize of the viewer's image keeps the dialog open for a smaller size.
  run([&] {
    if (!batch) return resize_viewer(target.width, target.height, interpolation);
    resize_files(target.width, target.height, interpolation);
    return true;
  });
}

bool ResizeDlgDrv::resize_viewer(uint32_t width, uint32_t height, int interpolation) {
  return change_viewer_image(
      [=](const Hdr_image& image) { return resized_copy(image, width, height, interpolation); },
      k_change_resized, k_failed_alert);
}

void ResizeDlgDrv::resize_files(uint32_t width, uint32_t height, int interpolation) {
  run_batch(
      "resize", "Resizing...",
      [width, height, interpolation](Hdr_image& image, const Selected_file&) {
        resize_image(image, width, height, interpolation);
      },
      k_failed_alert);
}

void ImageDialogDrv::resize_image() {
  if (g_resize_dialog) g_resize_dialog->setup(nullptr, this);
}

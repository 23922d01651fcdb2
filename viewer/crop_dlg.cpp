// Crop Image: the widgets and the crop of a viewer's image or of a batch of files.
#include "viewer/crop_dlg.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Return_Button.H>

#include <cstdint>

#include "core/dialog_callbacks.h"
#include "core/hdr_image.h"
#include "core/messages.h"
#include "core/refusal.h"
#include "viewer/crop_region.h"
#include "viewer/field_numbers.h"
#include "viewer/image_dialog_drv.h"

CropDlgDrv* g_crop_dialog = nullptr;

namespace {

constexpr char k_invalid_alert[] =
    "Invalid crop dimensions specified. The crop region must be within the image boundaries.";
constexpr char k_failed_alert[] = "Crop failed. There is not enough memory for the cropped image.";

CropDlg* dialog_of(Fl_Widget* w) { return dynamic_cast<CropDlg*>(w->window()); }

void cb_apply(Fl_Widget* w, void*) {
  if (CropDlg* d = dialog_of(w)) d->apply();
}
void cb_browse(Fl_Widget* w, void*) {
  if (CropDlg* d = dialog_of(w)) d->browse();
}

cimg_library::CImg<float> cropped_copy(const Hdr_image& image, const Crop_region& r) {
  return image.get_crop(int(r.x0), int(r.y0), int(r.x1), int(r.y1));
}

}  // namespace

CropDlg::CropDlg(int w, int h, const char* title) : Batch_image_dlg(w, h, title) {
  force_position(0);
  x_input = new Fl_Int_Input(82, 12, 70, 25, "X:");
  y_input = new Fl_Int_Input(82, 41, 70, 25, "Y:");
  width_input = new Fl_Int_Input(244, 12, 70, 25, "Width:");
  height_input = new Fl_Int_Input(244, 41, 70, 25, "Height:");

  batch_group = new Fl_Group(5, 105, 354, 92, "Batch Options");
  batch_group->box(FL_ENGRAVED_BOX);
  destination_input = new Fl_Input(10, 130, 341, 25, "Destination Directory");
  destination_input->align(FL_ALIGN_TOP_LEFT);
  destination_input->tooltip("Save cropped images in this directory");
  browse_button = new Fl_Button(10, 158, 74, 25, "Browse...");
  browse_button->callback(cb_browse);
  append_input = new Fl_Input(172, 158, 179, 25, "Append:");
  append_input->tooltip("Extension (if any) to add to the image name before saving");
  batch_group->end();

  crop_button = new Fl_Return_Button(276, 202, 83, 25, "Crop");
  crop_button->callback(cb_apply);
  cancel_button = new Fl_Button(199, 202, 74, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  end();
  set_modal();
}

CropDlgDrv::CropDlgDrv(int w, int h, const char* title) : CropDlg(w, h, title) {}

void CropDlgDrv::setup(const std::vector<Selected_file>* files, ImageDialogDrv* viewer) {
  if (!take_source(files, viewer, "_crop")) return;
  label(this->files().empty() ? "Crop Image" : "Batch Crop Images");
  x_input->value("0");
  y_input->value("0");
  width_input->value(std::to_string(reference_width()).c_str());
  height_input->value(std::to_string(reference_height()).c_str());
  show();
}

void CropDlgDrv::apply() {
  if (running()) return;
  Crop_region region;
  if (!crop_region(read_integer_field(x_input->value()), read_integer_field(y_input->value()),
                   read_integer_field(width_input->value()),
                   read_integer_field(height_input->value()), reference_width(), reference_height(),
                   region)) {
    show_alert(k_invalid_alert);
    return;
  }
  const bool batch = !files().empty();
  run([&] {
    if (!batch) return crop_viewer(region);
    crop_files(region);
    return true;
  });
}

bool CropDlgDrv::crop_viewer(const Crop_region& region) {
  ImageDialogDrv* v = viewer();
  // The events served by the busy cursor may have changed the image.
  if (v && v->get_image() &&
      !region_fits(region, uint64_t(v->get_image()->width()), uint64_t(v->get_image()->height()))) {
    show_alert(k_invalid_alert);
    return false;
  }
  return change_viewer_image(
      [&region](const Hdr_image& image) { return cropped_copy(image, region); }, k_change_cropped,
      k_failed_alert);
}

void CropDlgDrv::crop_files(const Crop_region& region) {
  run_batch(
      "crop", "Cropping...",
      [region](Hdr_image& image, const Selected_file& file) {
        // The region was checked against the first file's header; a file that turns out
        // smaller would get a black border from the image library.
        if (!region_fits(region, uint64_t(image.width()), uint64_t(image.height())))
          throw Refusal("Cannot crop '" + file.path +
                        "'. The crop region must be within the image boundaries.");
        cropped_copy(image, region).move_to(static_cast<cimg_library::CImg<float>&>(image));
      },
      k_failed_alert);
}

void open_crop_dialog(ImageDialogDrv& viewer) {
  if (g_crop_dialog) g_crop_dialog->setup(nullptr, &viewer);
}

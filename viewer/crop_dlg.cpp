// Crop Image: the widgets and the crop of a viewer's image or of a batch of files.
#include "viewer/crop_dlg.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Return_Button.H>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>

#include "core/app_globals.h"
#include "core/busy_cursor.h"
#include "core/dialog_callbacks.h"
#include "core/event_pump.h"
#include "core/file_written.h"
#include "core/guard.h"
#include "core/hdr_image.h"
#include "core/messages.h"
#include "core/preferences_dlg.h"
#include "core/batch_image_job.h"
#include "core/status_progress.h"
#include "viewer/crop_region.h"
#include "viewer/destination_chooser.h"
#include "viewer/field_numbers.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/viewer_links.h"

CropDlgDrv* g_crop_dialog = nullptr;

namespace {

constexpr char k_invalid_alert[] =
    "Invalid crop dimensions specified. The crop region must be within the image boundaries.";
constexpr char k_failed_alert[] = "Crop failed. There is not enough memory for the cropped image.";

CropDlg* dialog_of(Fl_Widget* w) { return dynamic_cast<CropDlg*>(w->window()); }

void cb_apply(Fl_Widget* w, void*) { if (CropDlg* d = dialog_of(w)) d->apply(); }
void cb_browse(Fl_Widget* w, void*) { if (CropDlg* d = dialog_of(w)) d->browse(); }

uint32_t header_side(int64_t v) {
  return uint32_t(std::clamp<int64_t>(v, 0, int64_t(UINT32_MAX)));
}

cimg_library::CImg<float> cropped_copy(const Hdr_image& image, const Crop_region& r) {
  return image.get_crop(int(r.x0), int(r.y0), int(r.x1), int(r.y1));
}

}  // namespace

CropDlg::CropDlg(int w, int h, const char* title) : Fl_Double_Window(0, 0, w, h, title) {
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

CropDlgDrv::CropDlgDrv(int w, int h, const char* title) : CropDlg(w, h, title) {
  Fl::watch_widget_pointer(m_viewer);
}

CropDlgDrv::~CropDlgDrv() { Fl::release_widget_pointer(m_viewer); }

ImageDialogDrv* CropDlgDrv::viewer() const { return static_cast<ImageDialogDrv*>(m_viewer); }

void CropDlgDrv::setup(const std::vector<Selected_file>* files, ImageDialogDrv* viewer) {
  // A batch serves events: a new set-up then would change what the batch works on.
  if (m_running) return;
  if (files && !files->empty()) {
    m_files = *files;
    m_viewer = nullptr;
    m_ref_w = header_side(m_files.front().width);
    m_ref_h = header_side(m_files.front().height);
    destination_input->value(browser_current_folder().c_str());
    append_input->value("_crop");
    batch_group->activate();
    label("Batch Crop Images");
  } else if (viewer && viewer->get_image()) {
    m_files.clear();
    m_viewer = viewer;
    m_ref_w = uint32_t(viewer->get_image()->width());
    m_ref_h = uint32_t(viewer->get_image()->height());
    batch_group->deactivate();
    label("Crop Image");
  } else {
    return;
  }
  x_input->value("0");
  y_input->value("0");
  width_input->value(std::to_string(m_ref_w).c_str());
  height_input->value(std::to_string(m_ref_h).c_str());
  show();
}

void CropDlgDrv::browse() { show_directory_chooser(directory_chosen, this); }

void CropDlgDrv::directory_chosen(Fl_File_Chooser* chooser, void* data) {
  if (auto* dialog = static_cast<CropDlgDrv*>(data))
    take_chosen_directory(chooser, dialog->destination_input);
}

void CropDlgDrv::apply() {
  if (m_running) return;
  Crop_region region;
  if (!crop_region(read_integer_field(x_input->value()), read_integer_field(y_input->value()),
                   read_integer_field(width_input->value()),
                   read_integer_field(height_input->value()), m_ref_w, m_ref_h, region)) {
    show_alert(k_invalid_alert);
    return;
  }
  const bool batch = !m_files.empty();

  Guard running(m_running);
  set_busy_cursor(FL_CURSOR_WAIT);
  deactivate();
  bool done = true;
  try {
    if (batch)
      crop_files(region);
    else
      done = crop_viewer(region);
  } catch (const std::exception& e) {
    show_alert(e.what());
  }
  if (done) hide();
  activate();
  set_busy_cursor(FL_CURSOR_DEFAULT);
}

bool CropDlgDrv::crop_viewer(const Crop_region& region) {
  ImageDialogDrv* v = viewer();  // null when the viewer was deleted meanwhile
  if (!v || !v->get_image()) return true;
  Hdr_image& image = *v->get_image();
  // The events served by the busy cursor may have changed the image.
  if (!region_fits(region, uint64_t(image.width()), uint64_t(image.height()))) {
    show_alert(k_invalid_alert);
    return false;
  }
  try {
    cimg_library::CImg<float> part = cropped_copy(image, region);
    v->save_undo(k_change_cropped, 0);
    part.move_to(static_cast<cimg_library::CImg<float>&>(image));
  } catch (const std::exception& e) {
    // Nothing changed: the image is replaced only after the copy and the undo step exist.
    std::fprintf(stderr, "%s\n", e.what());
    show_alert(k_failed_alert);
    return false;
  }
  image.stats = Image_stats{};  // the cached figures were those of the old pixels
  // Before the redisplay, so that the title shows the change.
  v->set_modified(k_change_cropped);
  v->update_view();
  return true;
}

void CropDlgDrv::crop_files(const Crop_region& region) {
  // Copies: a pump below may run anything.
  const std::vector<Selected_file> files = m_files;
  Status_progress progress(int(files.size()), "Cropping...");
  Image_batch_job job;
  job.verb = "crop";
  job.destination = destination_input->value() ? destination_input->value() : "";
  job.suffix = append_input->value() ? append_input->value() : "";
  job.prompt_on_overwrite = !g_preferences_dialog || g_preferences_dialog->prompt_on_overwrite();
  job.transform = [region](Hdr_image& image, const Selected_file& file) {
    // The region was checked against the first file's header; a file that turns out
    // smaller would get a black border from the image library.
    if (!region_fits(region, uint64_t(image.width()), uint64_t(image.height())))
      return "Cannot crop '" + file.path + "'. The crop region must be within the image boundaries.";
    cropped_copy(image, region).move_to(static_cast<cimg_library::CImg<float>&>(image));
    return std::string();
  };
  job.transform_failure = k_failed_alert;
  job.before_file = [&progress](std::size_t i) { progress.step(int(i)); };
  job.file_written = file_written;  // the grid shows the new tile
  run_image_batch(files, job);
}

void open_crop_dialog(ImageDialogDrv& viewer) {
  if (g_crop_dialog) g_crop_dialog->setup(nullptr, &viewer);
}

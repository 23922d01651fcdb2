// Resize Image: the widgets, the linked fields and unit switch, and the resize of a
// viewer's image or of a batch of files.
#include "viewer/resize_dlg.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Float_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>

#include "core/app_globals.h"
#include "core/bspline_resample.h"
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
#include "viewer/destination_chooser.h"
#include "viewer/field_numbers.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/resize_size.h"
#include "viewer/viewer_links.h"

ResizeDlgDrv* g_resize_dialog = nullptr;

namespace {

constexpr char k_invalid_alert[] =
    "Invalid resize dimensions specified. Please enter positive values.";
constexpr char k_failed_alert[] = "Resize failed. Please specify a smaller resize factor.";

ResizeDlg* dialog_of(Fl_Widget* w) { return dynamic_cast<ResizeDlg*>(w->window()); }

void cb_apply(Fl_Widget* w, void*) { if (ResizeDlg* d = dialog_of(w)) d->apply(); }
void cb_width(Fl_Widget* w, void*) { if (ResizeDlg* d = dialog_of(w)) d->width_changed(); }
void cb_height(Fl_Widget* w, void*) { if (ResizeDlg* d = dialog_of(w)) d->height_changed(); }
void cb_pixels(Fl_Widget* w, void*) { if (ResizeDlg* d = dialog_of(w)) d->to_pixels(); }
void cb_percent(Fl_Widget* w, void*) { if (ResizeDlg* d = dialog_of(w)) d->to_percent(); }
void cb_browse(Fl_Widget* w, void*) { if (ResizeDlg* d = dialog_of(w)) d->browse(); }

void set_integer(Fl_Input* input, int64_t v) { input->value(std::to_string(v).c_str()); }

uint32_t header_side(int64_t v) {
  return uint32_t(std::clamp<int64_t>(v, 0, int64_t(UINT32_MAX)));
}

// A resized copy by interpolation code, so the image is replaced only once it exists.
cimg_library::CImg<float> resized_copy(const Hdr_image& image, uint32_t w, uint32_t h,
                                       int interpolation) {
  if (interpolation == k_interpolation_bspline) return resized_bspline(image, w, h);
  return image.get_resize(int(w), int(h), -100, -100, interpolation);
}

}  // namespace

ResizeDlg::ResizeDlg(int w, int h, const char* title) : Fl_Double_Window(0, 0, w, h, title) {
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

ResizeDlgDrv::ResizeDlgDrv(int w, int h, const char* title) : ResizeDlg(w, h, title) {
  Fl::watch_widget_pointer(m_viewer);
}

ResizeDlgDrv::~ResizeDlgDrv() { Fl::release_widget_pointer(m_viewer); }

ImageDialogDrv* ResizeDlgDrv::viewer() const { return static_cast<ImageDialogDrv*>(m_viewer); }

void ResizeDlgDrv::setup(const std::vector<Selected_file>* files, ImageDialogDrv* viewer) {
  // A batch serves events: a new set-up then would change what the batch works on.
  if (m_running) return;
  if (files && !files->empty()) {
    m_files = *files;
    m_viewer = nullptr;
    m_ref_w = header_side(m_files.front().width);
    m_ref_h = header_side(m_files.front().height);
    destination_input->value(browser_current_folder().c_str());
    append_input->value("_resize");
    batch_group->activate();
  } else if (viewer && viewer->get_image()) {
    m_files.clear();
    m_viewer = viewer;
    m_ref_w = uint32_t(viewer->get_image()->width());
    m_ref_h = uint32_t(viewer->get_image()->height());
    batch_group->deactivate();
  } else {
    return;
  }
  if (m_percent) {
    width_input->value("100");
    height_input->value("100");
  } else {
    set_integer(width_input, m_ref_w);
    set_integer(height_input, m_ref_h);
  }
  show();
}

void ResizeDlgDrv::width_changed() {
  if (!aspect_button->value()) return;
  if (m_percent) {
    height_input->value(width_input->value());
    return;
  }
  set_integer(height_input,
              linked_pixel_side(read_integer_field(width_input->value()), m_ref_w, m_ref_h));
}

void ResizeDlgDrv::height_changed() {
  if (!aspect_button->value()) return;
  if (m_percent) {
    width_input->value(height_input->value());
    return;
  }
  set_integer(width_input,
              linked_pixel_side(read_integer_field(height_input->value()), m_ref_h, m_ref_w));
}

void ResizeDlgDrv::to_percent() {
  percent_button->setonly();
  if (m_percent) return;
  m_percent = true;
  width_input->value(
      format_float_field(pixels_to_percent(read_integer_field(width_input->value()), m_ref_w))
          .c_str());
  height_input->value(
      format_float_field(pixels_to_percent(read_integer_field(height_input->value()), m_ref_h))
          .c_str());
}

void ResizeDlgDrv::to_pixels() {
  pixels_button->setonly();
  if (!m_percent) return;
  m_percent = false;
  set_integer(width_input, percent_to_pixels(read_decimal_field(width_input->value()), m_ref_w));
  set_integer(height_input,
              percent_to_pixels(read_decimal_field(height_input->value()), m_ref_h));
}

void ResizeDlgDrv::browse() { show_directory_chooser(directory_chosen, this); }

void ResizeDlgDrv::directory_chosen(Fl_File_Chooser* chooser, void* data) {
  if (auto* dialog = static_cast<ResizeDlgDrv*>(data))
    take_chosen_directory(chooser, dialog->destination_input);
}

void ResizeDlgDrv::apply() {
  if (m_running) return;
  const Resize_target target =
      resize_target(read_decimal_field(width_input->value()),
                    read_decimal_field(height_input->value()), m_percent, m_ref_w, m_ref_h);
  if (target.check == Resize_check::not_positive) {
    show_alert(k_invalid_alert);
    return;
  }
  if (target.check == Resize_check::too_large) {
    show_alert(k_failed_alert);
    return;
  }
  const int interpolation = resize_interpolation(method_choice->value());
  const bool batch = !m_files.empty();

  Guard running(m_running);
  set_busy_cursor(FL_CURSOR_WAIT);
  deactivate();
  bool done = true;
  try {
    if (batch)
      resize_files(target.width, target.height, interpolation);
    else
      done = resize_viewer(target.width, target.height, interpolation);
  } catch (const std::exception& e) {
    show_alert(e.what());
  }
  // A failed resize of the viewer's image keeps the dialog open for a smaller size.
  if (done) hide();
  activate();
  set_busy_cursor(FL_CURSOR_DEFAULT);
}

bool ResizeDlgDrv::resize_viewer(uint32_t width, uint32_t height, int interpolation) {
  ImageDialogDrv* v = viewer();  // null when the viewer was deleted meanwhile
  if (!v || !v->get_image()) return true;
  Hdr_image& image = *v->get_image();
  try {
    cimg_library::CImg<float> resized = resized_copy(image, width, height, interpolation);
    v->save_undo(k_change_resized, 0);
    resized.move_to(static_cast<cimg_library::CImg<float>&>(image));
  } catch (const std::exception& e) {
    // Nothing changed: the image is replaced only after the copy and the undo step exist.
    std::fprintf(stderr, "%s\n", e.what());
    show_alert(k_failed_alert);
    return false;
  }
  image.stats = Image_stats{};  // the cached figures were those of the old pixels
  // Before the redisplay, so that the title shows the change.
  v->set_modified(k_change_resized);
  v->update_view();
  return true;
}

void ResizeDlgDrv::resize_files(uint32_t width, uint32_t height, int interpolation) {
  // Copies: a pump below may run anything.
  const std::vector<Selected_file> files = m_files;
  Status_progress progress(int(files.size()), "Resizing...");
  Image_batch_job job;
  job.verb = "resize";
  job.destination = destination_input->value() ? destination_input->value() : "";
  job.suffix = append_input->value() ? append_input->value() : "";
  job.prompt_on_overwrite = !g_preferences_dialog || g_preferences_dialog->prompt_on_overwrite();
  job.transform = [width, height, interpolation](Hdr_image& image, const Selected_file&) {
    resize_image(image, width, height, interpolation);
    return std::string();
  };
  job.transform_failure = k_failed_alert;
  job.before_file = [&progress](std::size_t i) { progress.step(int(i)); };
  job.file_written = file_written;  // the grid shows the new tile
  run_image_batch(files, job);
}

void ImageDialogDrv::resize_image() {
  if (g_resize_dialog) g_resize_dialog->setup(nullptr, this);
}

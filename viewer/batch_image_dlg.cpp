// The shared part of the Resize and Crop dialogs (see the header).
#include "viewer/batch_image_dlg.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>

#include <algorithm>

#include "core/batch_image_job.h"
#include "core/browser_seam.h"
#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/guard.h"
#include "core/preferences_dlg.h"
#include "core/status_progress.h"
#include "viewer/image_dialog_drv.h"

namespace {

uint32_t header_side(int64_t v) { return uint32_t(std::clamp<int64_t>(v, 0, int64_t(UINT32_MAX))); }

}  // namespace

Batch_image_dlg::Batch_image_dlg(int w, int h, const char* title)
    : Fl_Double_Window(0, 0, w, h, title) {
  Fl::watch_widget_pointer(m_viewer);
}

Batch_image_dlg::~Batch_image_dlg() { Fl::release_widget_pointer(m_viewer); }

ImageDialogDrv* Batch_image_dlg::viewer() const { return static_cast<ImageDialogDrv*>(m_viewer); }

void Batch_image_dlg::browse() {
  choose_directory(*this,
                   [this](const std::string& folder) { destination_input->value(folder.c_str()); });
}

bool Batch_image_dlg::take_source(const std::vector<Selected_file>* files, ImageDialogDrv* viewer,
                                  const char* suffix) {
  // A batch serves events: a new set-up then would change what the batch works on.
  if (m_running) return false;
  if (files && !files->empty()) {
    m_files = *files;
    m_viewer = nullptr;
    m_ref_w = header_side(m_files.front().width);
    m_ref_h = header_side(m_files.front().height);
    destination_input->value(current_folder().c_str());
    append_input->value(suffix);
    batch_group->activate();
    return true;
  }
  if (viewer && viewer->get_image()) {
    m_files.clear();
    m_viewer = viewer;
    m_ref_w = uint32_t(viewer->get_image()->width());
    m_ref_h = uint32_t(viewer->get_image()->height());
    batch_group->deactivate();
    return true;
  }
  return false;
}

void Batch_image_dlg::run(const std::function<bool()>& action) {
  Guard running(m_running);
  set_busy_cursor(FL_CURSOR_WAIT);
  deactivate();
  // A command that threw is over as well: the dialog closes after its alert.
  bool done = true;
  Command().reactivate(this).run([&] { done = action(); });
  if (done) hide();
  activate();
  set_busy_cursor(FL_CURSOR_DEFAULT);
}

bool Batch_image_dlg::change_viewer_image(const Image_change& changed, uint32_t change_bit,
                                          const char* failure_alert) {
  ImageDialogDrv* v = viewer();  // null when the viewer was deleted meanwhile
  if (!v || !v->get_image()) return true;
  Hdr_image& image = *v->get_image();
  // Nothing changes on failure: the image is replaced only after the copy and the undo
  // step exist.
  const bool changed_ok = Command().fixed_alert(failure_alert).reactivate(this).run([&] {
    cimg_library::CImg<float> result = changed(image);
    v->save_undo(change_bit, 0);
    result.move_to(static_cast<cimg_library::CImg<float>&>(image));
  });
  if (!changed_ok) return false;
  image.stats = Image_stats{};  // the cached figures were those of the old pixels
  // Before the redisplay, so that the title shows the change.
  v->set_modified(change_bit);
  v->update_view();
  return true;
}

void Batch_image_dlg::run_batch(const char* verb, const char* progress_label,
                                std::function<void(Hdr_image&, const Selected_file&)> transform,
                                const char* failure_alert) {
  // Copies: a pump below may run anything.
  const std::vector<Selected_file> files = m_files;
  Status_progress progress(int(files.size()), progress_label);
  Image_batch_job job;
  job.verb = verb;
  job.destination = destination_input->value() ? destination_input->value() : "";
  job.suffix = append_input->value() ? append_input->value() : "";
  job.prompt_on_overwrite = ask_before_overwriting();
  job.transform = std::move(transform);
  job.transform_failure = failure_alert;
  job.before_file = [&progress](std::size_t i) { progress.step(int(i)); };
  job.file_written = file_written;  // the grid shows the new tile
  run_image_batch(files, job);
}

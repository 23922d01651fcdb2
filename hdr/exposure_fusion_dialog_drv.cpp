// "Fuse" of the exposure fusion dialog: read, fuse, open in a viewer.
#include "hdr/exposure_fusion_dialog_drv.h"

#include <FL/Fl_Value_Slider.H>

#include <memory>
#include <opencv2/core.hpp>
#include <string>
#include <vector>

#include "core/action_scopes.h"
#include "core/browser_seam.h"
#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/event_pump.h"
#include "core/file_type.h"
#include "core/hdr_image.h"
#include "core/mat_convert.h"
#include "hdr/exposure_load.h"
#include "hdr/progress_dialog.h"

ExposureFusionDialogDrv* g_fusion_dialog = nullptr;

namespace {

// Each file as a three-channel 8-bit B, G, R matrix, events served before each read. The
// program's own readers, as for HDR creation: the picture upright, a damaged file refused
// with its own text.
std::vector<cv::Mat> read_exposures(const std::vector<std::string>& paths) {
  std::vector<cv::Mat> exposures;
  for (const std::string& path : paths) {
    pump_events();
    Rgb8_image planes = load_exposure(path, image_type_from_extension(path));
    const cv::Size size(planes.width(), planes.height());
    const cv::Mat bgr[3] = {cv::Mat(size, CV_8UC1, planes.data(0, 0, 0, 2)),
                            cv::Mat(size, CV_8UC1, planes.data(0, 0, 0, 1)),
                            cv::Mat(size, CV_8UC1, planes.data(0, 0, 0, 0))};
    cv::Mat m;
    cv::merge(bgr, 3, m);
    exposures.push_back(m);
  }
  return exposures;
}

}  // namespace

ExposureFusionDialogDrv::ExposureFusionDialogDrv(int w, int h, const char* title)
    : ExposureFusionDialog(w, h, title) {}

Fusion_exponents ExposureFusionDialogDrv::exponents() const {
  Fusion_exponents e;
  e.contrast = float(contrast_slider->value());
  e.saturation = float(saturation_slider->value());
  e.well_exposedness = float(exposure_slider->value());
  return e;
}

void ExposureFusionDialogDrv::end_work() {
  if (g_progress_dialog) g_progress_dialog->hide();
  set_busy_cursor(FL_CURSOR_DEFAULT);
  activate();
}

void ExposureFusionDialogDrv::fuse() {
  if (m_running) return;
  // Copied before any event is served: a folder scan may replace the tiles meanwhile.
  const std::vector<std::string> paths = selected_paths();
  if (paths.empty()) return;
  Guard running(m_running);
  Silent_progress silent;
  Progress& progress = g_progress_dialog ? static_cast<Progress&>(*g_progress_dialog) : silent;
  // end_work puts the cursor back and the dialog active; a fusion refused before it began
  // (another job is running) leaves that job's progress window alone.
  bool began = false;
  Command()
      .keep_cursor()
      .on_failure([this, &began] {
        if (began) end_work();
      })
      .run([&] {
        began = true;
        deactivate();
        set_busy_cursor(FL_CURSOR_WAIT);
        progress.start(0, 0, 1, "Reading Exposures");
        std::vector<cv::Mat> exposures = read_exposures(paths);
        progress.update(1);
        const int levels = fusion_levels(exposures.front().rows, exposures.front().cols);
        const cv::Mat fused = exposure_fusion(exposures, exponents(), levels, progress);
        exposures.clear();
        std::unique_ptr<Hdr_image> image = mat_to_image(fused);
        image->type = k_type_new_ldr;
        const std::string folder = current_folder();
        end_work();
        hide();
        show_result(std::move(image), folder);
      });
}

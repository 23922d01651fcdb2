// The browser's answers installed into the browser seam (see the header).
#include "browser/browser_seam_setup.h"

#include <memory>
#include <string>
#include <utility>

#include "browser/browser_answers.h"
#include "browser/icon_view.h"
#include "core/browser_seam.h"
#include "core/hdr_image.h"
#include "hdr/calibrate_dlg_drv.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_new_result.h"

void install_browser_seam() {
  Browser_seam& seam = browser_seam();
  seam.selected_paths = selected_tile_paths;
  // Next and Previous Image in a viewer walk the grid's tiles.
  seam.grid_paths = grid_tile_paths;
  seam.current_folder = shown_folder;
  seam.open_result = [](std::unique_ptr<Hdr_image> image, const std::string& folder) {
    open_new_result(std::move(image), folder);
  };
  // Looked up at each call: the grid is built after start-up installs this, and tests
  // build and delete main windows.
  seam.file_written = [](const std::string& path) {
    if (g_icon_view) g_icon_view->refresh_file(path);
  };
  // A press on a viewer's image in calibration mode opens the calibration dialog.
  seam.start_calibration = [](ImageDialogDrv& viewer, int x, int y) {
    if (g_calibrate_dialog) g_calibrate_dialog->start(viewer, x, y);
  };
}

// The viewer's questions, answered through the browser seam (see the header).
#include "viewer/viewer_links.h"

#include <utility>

#include "core/browser_seam.h"

void set_grid_paths_source(Grid_paths_fn fn) { browser_seam().grid_paths = std::move(fn); }
void set_current_folder_source(Current_folder_fn fn) {
  browser_seam().current_folder = std::move(fn);
}
void set_calibration_starter(Calibration_fn fn) {
  browser_seam().start_calibration = std::move(fn);
}

std::vector<std::string> grid_paths() {
  // Copies of the answers: a call may serve events, which may install others.
  const auto fn = browser_seam().grid_paths;
  return fn ? fn() : std::vector<std::string>{};
}

std::string browser_current_folder() {
  const auto fn = browser_seam().current_folder;
  return fn ? fn() : std::string{};
}

bool start_calibration(ImageDialogDrv& viewer, int x, int y) {
  const auto fn = browser_seam().start_calibration;
  if (!fn) return false;
  fn(viewer, x, y);
  return true;
}

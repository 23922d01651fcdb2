// The installed answers of the viewer's links (see the header).
#include "viewer/viewer_links.h"

#include <utility>

namespace {

Grid_paths_fn& grid_source() {
  static Grid_paths_fn fn;
  return fn;
}
Current_folder_fn& folder_source() {
  static Current_folder_fn fn;
  return fn;
}
Calibration_fn& calibration_starter() {
  static Calibration_fn fn;
  return fn;
}

}  // namespace

void set_grid_paths_source(Grid_paths_fn fn) { grid_source() = std::move(fn); }
void set_current_folder_source(Current_folder_fn fn) { folder_source() = std::move(fn); }
void set_calibration_starter(Calibration_fn fn) { calibration_starter() = std::move(fn); }

std::vector<std::string> grid_paths() {
  // A copy of the function: the call may pump events and reinstall it.
  const Grid_paths_fn fn = grid_source();
  return fn ? fn() : std::vector<std::string>{};
}

std::string browser_current_folder() {
  const Current_folder_fn fn = folder_source();
  return fn ? fn() : std::string{};
}

bool start_calibration(ImageDialogDrv& viewer, int x, int y) {
  const Calibration_fn fn = calibration_starter();
  if (!fn) return false;
  fn(viewer, x, y);
  return true;
}

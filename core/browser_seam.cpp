// The one installed set of the browser's answers, and the questions asked of it (see the
// header).
#include "core/browser_seam.h"

#include <FL/Fl.H>

#include <memory>
#include <utility>

#include "core/hdr_image.h"

Browser_seam& browser_seam() {
  static Browser_seam seam;
  return seam;
}

std::vector<std::string> selected_paths() {
  const auto fn = browser_seam().selected_paths;
  return fn ? fn() : std::vector<std::string>{};
}

bool describe_tile(const std::string& path, Selected_file& file) {
  const auto fn = browser_seam().describe_tile;
  return fn && fn(path, file);
}

std::shared_ptr<void> keep_tiles() {
  const auto fn = browser_seam().keep_tiles;
  return fn ? fn() : nullptr;
}

std::vector<std::string> grid_paths() {
  const auto fn = browser_seam().grid_paths;
  return fn ? fn() : std::vector<std::string>{};
}

std::string current_folder() {
  const auto fn = browser_seam().current_folder;
  return fn ? fn() : std::string{};
}

bool show_result(std::unique_ptr<Hdr_image> image, const std::string& folder) {
  const auto fn = browser_seam().open_result;
  if (!fn) return false;
  fn(std::move(image), folder);
  return true;
}

void file_written(const std::string& path) {
  const auto fn = browser_seam().file_written;
  if (fn) fn(path);
}

void file_removed(const std::string& path) {
  const auto fn = browser_seam().file_removed;
  if (fn) fn(path);
}

void file_rotated(const std::string& path, int degrees) {
  const auto fn = browser_seam().file_rotated;
  if (fn) fn(path, degrees);
}

void file_flipped(const std::string& path, char axis) {
  const auto fn = browser_seam().file_flipped;
  if (fn) fn(path, axis);
}

bool start_calibration(ImageDialogDrv& viewer, int x, int y) {
  const auto fn = browser_seam().start_calibration;
  if (!fn) return false;
  fn(viewer, x, y);
  return true;
}

void choose_directory(Fl_Widget& asking, std::function<void(const std::string& folder)> chosen) {
  const auto fn = browser_seam().choose_directory;
  if (!fn) return;
  // The chooser stays open while the user works elsewhere: the dialog that asked (and
  // whatever chosen captured of it) may be gone by the time OK is pressed.
  auto alive = std::make_shared<Fl_Widget_Tracker>(&asking);
  fn([alive, chosen = std::move(chosen)](const std::string& folder) {
    if (!alive->deleted()) chosen(folder);
  });
}

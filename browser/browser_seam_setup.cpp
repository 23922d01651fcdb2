// The browser's answers installed into the browser seam (see the header).
#include "browser/browser_seam_setup.h"

#include <FL/Fl_File_Chooser.H>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "browser/browser_answers.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/hdr_image.h"
#include "core/selected_file.h"
#include "hdr/calibrate_dlg_drv.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_new_result.h"

namespace {

using Chosen_fn = std::function<void(const std::string& folder)>;

// Who gets the directory chooser's answer. There is one chooser, so one at a time: a
// newer "Browse..." takes it over, as it takes over the chooser.
Chosen_fn& pending_choice() {
  static Chosen_fn chosen;
  return chosen;
}

void directory_chosen(Fl_File_Chooser* chooser, void*) {
  // The chooser also calls back while the user moves through its list.
  if (!chooser || chooser->shown()) return;
  // The chooser is closed: its answer is used once. Taken out first, as the answer may
  // open the chooser again.
  const Chosen_fn fn = std::move(pending_choice());
  pending_choice() = nullptr;
  const char* chosen = chooser->value();
  // A path with ".." is refused: the destination must be named plainly.
  if (!chosen || !*chosen || std::strstr(chosen, "..")) return;
  if (fn) fn(chosen);
}

void open_directory_chooser(Chosen_fn chosen) {
  Fl_File_Chooser* chooser = g_directory_chooser;
  if (!chooser) return;
  const std::string folder = current_folder();
  chooser->directory(folder.empty() ? "." : folder.c_str());
  pending_choice() = std::move(chosen);
  chooser->callback(directory_chosen, nullptr);
  chooser->show();
}

// The tile copied out with its thumbnail, for HDR creation.
bool describe(const std::string& path, Selected_file& file) {
  const Icon* tile = tile_of(path);
  if (!tile) return false;
  file = copy_of_tile(*tile, true);
  return true;
}

// The grid laid out again after a tile came or went.
void rearrange() {
  g_icon_view->arrange();
  g_icon_view->redraw();
}

}  // namespace

void install_browser_seam() {
  Browser_seam& seam = browser_seam();
  seam.selected_paths = selected_tile_paths;
  seam.describe_tile = describe;
  seam.keep_tiles = []() -> std::shared_ptr<void> {
    if (!g_icon_view) return nullptr;
    return std::make_shared<Busy_tiles>(*g_icon_view);
  };
  // Next and Previous Image in a viewer walk the grid's tiles.
  seam.grid_paths = grid_tile_paths;
  seam.current_folder = shown_folder;
  seam.open_result = [](std::unique_ptr<Hdr_image> image, const std::string& folder) {
    open_new_result(std::move(image), folder);
  };
  // The grid is looked up at each call: it is built after start-up installs this, and
  // tests build and delete main windows.
  seam.file_written = [](const std::string& path) {
    if (g_icon_view) g_icon_view->refresh_file(path);
  };
  seam.file_removed = [](const std::string& path) {
    if (!g_icon_view || !g_icon_view->is_in_shown_folder(path)) return;
    g_icon_view->remove_file(path);
    rearrange();
  };
  // The thumbnail is turned at once; the tile then reloads what the file now holds.
  seam.file_rotated = [](const std::string& path, int degrees) {
    if (Icon* tile = tile_of(path)) tile->rotate_thumbnail(degrees);
    if (g_icon_view) g_icon_view->refresh_file(path);
  };
  seam.file_flipped = [](const std::string& path, char axis) {
    if (Icon* tile = tile_of(path)) tile->flip_thumbnail(axis);
    if (g_icon_view) g_icon_view->refresh_file(path);
  };
  // A press on a viewer's image in calibration mode opens the calibration dialog.
  seam.start_calibration = [](ImageDialogDrv& viewer, int x, int y) {
    if (g_calibrate_dialog) g_calibrate_dialog->start(viewer, x, y);
  };
  seam.choose_directory = open_directory_chooser;
}

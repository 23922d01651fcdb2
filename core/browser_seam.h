// What the viewer, the HDR dialogs and the batch dialogs ask of the thumbnail browser,
// which is built after them. The browser fills in the answers once at start-up
// (browser/browser_seam_setup.h); tests fake them with tests/support/fake_browser.h.
// An answer left empty means: empty selection and grid, no current folder, a result has
// nowhere to go, no calibration, a written file is announced to no one.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Hdr_image;
class ImageDialogDrv;

/// The answers, one per question. Each is read when asked, so windows made later count.
struct Browser_seam {
  /// Full paths of the grid's selected tiles, in click order.
  std::function<std::vector<std::string>()> selected_paths;
  /// Full paths of all of the grid's tiles, in grid order (Next and Previous Image).
  std::function<std::vector<std::string>()> grid_paths;
  /// The browser's current folder (ending in '/'): the default output folder.
  std::function<std::string()> current_folder;
  /// Opens a new result (no file yet) in an "Untitled" viewer of that folder and shows
  /// it. May throw std::exception; the image is then freed.
  std::function<void(std::unique_ptr<Hdr_image> image, const std::string& folder)> open_result;
  /// After path was written: the grid makes or updates its tile when its folder is shown.
  std::function<void(const std::string& path)> file_written;
  /// Starts the calibration dialog for a viewer and an image pixel inside its image.
  std::function<void(ImageDialogDrv& viewer, int x, int y)> start_calibration;
};

/// The installed answers (one for the run); assign a field to answer a question.
Browser_seam& browser_seam();

// What the viewer, the HDR dialogs and the batch dialogs ask of the thumbnail browser,
// which is built after them. The browser fills in the answers once at start-up
// (browser/browser_seam_setup.h); tests fake them with tests/support/fake_browser.h.
// An answer left empty means: empty selection and grid, no tiles, no current folder, a
// result has nowhere to go, no calibration, no directory chooser, file changes are
// announced to no one. Callers ask through the free functions below; the status-bar
// progress of batch jobs is core/status_progress.h.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Fl_Widget;
class Hdr_image;
class ImageDialogDrv;
struct Selected_file;

/// What a written file is announced to (file_written below, or a test's recorder).
using File_written_fn = std::function<void(const std::string& path)>;

/// The answers, one per question. Each is read when asked, so windows made later count.
struct Browser_seam {
  /// Full paths of the grid's selected tiles, in click order.
  std::function<std::vector<std::string>()> selected_paths;
  /// The grid's tile of path copied into file (looked up again: after events a tile may
  /// be gone); false when there is none.
  std::function<bool(const std::string& path, Selected_file& file)> describe_tile;
  /// While the returned object lives, tiles taken out of the grid are not freed.
  std::function<std::shared_ptr<void>()> keep_tiles;
  /// Full paths of all of the grid's tiles, in grid order (Next and Previous Image).
  std::function<std::vector<std::string>()> grid_paths;
  /// The browser's current folder (ending in '/'): the default output folder.
  std::function<std::string()> current_folder;
  /// Opens a new result (no file yet) in an "Untitled" viewer of that folder and shows
  /// it. May throw std::exception; the image is then freed.
  std::function<void(std::unique_ptr<Hdr_image> image, const std::string& folder)> open_result;
  /// After path was written: the grid makes or updates its tile when its folder is shown.
  File_written_fn file_written;
  /// After path was removed: the grid takes its tile out when its folder is shown.
  std::function<void(const std::string& path)> file_removed;
  /// After the file was turned in place (degrees -90 or 90): its tile follows.
  std::function<void(const std::string& path, int degrees)> file_rotated;
  /// After the file was mirrored in place (axis 'x' or 'y'): its tile follows.
  std::function<void(const std::string& path, char axis)> file_flipped;
  /// Starts the calibration dialog for a viewer and an image pixel inside its image.
  std::function<void(ImageDialogDrv& viewer, int x, int y)> start_calibration;
  /// Opens the program's directory chooser at the current folder; once the user has
  /// chosen a plainly named folder (no ".."), chosen gets its path. A cancel calls nothing.
  std::function<void(std::function<void(const std::string& folder)> chosen)> choose_directory;
};

/// The installed answers (one for the run); assign a field to answer a question.
Browser_seam& browser_seam();

// Each asks the installed answer now (a copy of it: the answer may serve events, which may
// install others) and does what an empty answer means when there is none.

/// The selection now, copied: no tile is held while a job serves events.
std::vector<std::string> selected_paths();
/// The tile of path copied into file; false without one.
bool describe_tile(const std::string& path, Selected_file& file);
/// Keeps removed tiles alive while the result lives (null without a grid).
std::shared_ptr<void> keep_tiles();
/// The grid's tile paths now, in grid order.
std::vector<std::string> grid_paths();
/// The browser's current folder now; empty without one.
std::string current_folder();
/// Hands the image to the result's viewer; false (the image freed) when there is none.
bool show_result(std::unique_ptr<Hdr_image> image, const std::string& folder);
/// The file changes of the same names above.
void file_written(const std::string& path);
void file_removed(const std::string& path);
void file_rotated(const std::string& path, int degrees);
void file_flipped(const std::string& path, char axis);
/// Runs the installed starter; false (and nothing happens) when there is none.
bool start_calibration(ImageDialogDrv& viewer, int x, int y);
/// Opens the directory chooser for chosen, asked by the dialog asking; nothing when there
/// is none. An answer that comes once asking is deleted calls nothing.
void choose_directory(Fl_Widget& asking, std::function<void(const std::string& folder)> chosen);

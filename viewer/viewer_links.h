// What the viewer asks of windows built after it (the thumbnail grid, the folder list,
// the calibration dialog). Each is an answer of core/browser_seam.h, which the browser
// fills in at start-up; until then the viewer sees an empty grid, no current folder and
// no calibration.
#pragma once
#include <functional>
#include <string>
#include <vector>

class ImageDialogDrv;

/// Full paths of the thumbnail grid's tiles, in grid order.
using Grid_paths_fn = std::function<std::vector<std::string>()>;
/// The browser's current folder (ending in '/').
using Current_folder_fn = std::function<std::string()>;
/// Starts the calibration dialog for a viewer and an image pixel inside its image.
using Calibration_fn = std::function<void(ImageDialogDrv& viewer, int x, int y)>;

/// Set one answer of browser_seam() (the current folder is HDR processing's too).
void set_grid_paths_source(Grid_paths_fn fn);
void set_current_folder_source(Current_folder_fn fn);
void set_calibration_starter(Calibration_fn fn);

/// The grid's tile paths now; empty when no grid is installed.
std::vector<std::string> grid_paths();
/// The browser's current folder now; empty when no folder list is installed.
std::string browser_current_folder();
/// Runs the installed starter; false (and nothing happens) when none is installed.
bool start_calibration(ImageDialogDrv& viewer, int x, int y);

// What HDR processing's dialogs ask of windows built after them: the thumbnail grid's
// selection, the browser's current folder, and a viewer for a new result. Each is an
// answer of core/browser_seam.h, which the browser fills in at start-up; until then the
// selection is empty, there is no folder and a result has nowhere to go.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Hdr_image;

/// Full paths of the grid's selected tiles, in click order.
using Selected_paths_fn = std::function<std::vector<std::string>()>;
/// The browser's current folder (ending in '/'): the default output folder.
using Output_folder_fn = std::function<std::string()>;
/// Opens a new result (no file yet) in an "Untitled" viewer of that folder and shows it.
/// May throw std::exception; the image is then freed.
using Result_viewer_fn =
    std::function<void(std::unique_ptr<Hdr_image> image, const std::string& folder)>;

/// Set one answer of browser_seam() (the current folder is the viewer's too).
void set_selected_paths_source(Selected_paths_fn fn);
void set_output_folder_source(Output_folder_fn fn);
void set_result_viewer(Result_viewer_fn fn);

/// The selection now, copied (empty when no grid is installed): no tile is held while a
/// job serves events.
std::vector<std::string> selected_paths();
/// The current folder now; empty when no folder list is installed.
std::string output_folder();
/// Hands the image to the installed viewer; false (the image freed) when none is installed.
bool show_result(std::unique_ptr<Hdr_image> image, const std::string& folder);

// The questions before work or files are given up: Quit while open viewers hold unsaved
// changes, and Delete of the selected images.
#pragma once
#include <string>
#include <vector>

/// Names of the open viewers whose change word is not 0, in the window system's order.
std::vector<std::string> unsaved_viewer_names();

/// The question for those viewers' names (at least one): how many images have unsaved
/// changes, then the names one per line, at most ten and then "…".
std::string unsaved_images_question(const std::vector<std::string>& names);

/// Asks before quitting when "Prompt on close" is on and an open viewer holds unsaved
/// changes ("Cancel" first, so Escape and the close box cancel, then "Quit"; Return also
/// cancels). True when the program may end.
bool confirm_quit();

/// The question before deleting files with these names (at least one): how many, then the
/// names one per line, at most ten and then "…".
std::string delete_images_question(const std::vector<std::string>& names);

// A file that was deleted or moved by another program while its tile was shown.
#pragma once
#include <string>

/// When nothing exists at path any more (deleted or moved away; a file that merely cannot
/// be read still exists): one alert "The file '<path>' no longer exists.", its tile
/// taken out of the grid (file_removed), and true. False, with nothing done, otherwise.
bool report_if_vanished(const std::string& path);

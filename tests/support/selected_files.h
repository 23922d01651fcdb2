// Files as the browser's selection names them, for tests of the commands that take a
// selection: the entry of one file, and picture files written and named in one go.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/selected_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"

/// The selection's entry of path: its name and folder (parted at the last '/'), the type
/// code and the image size as the tile reads them from the header.
Selected_file selected_file(const std::string& path, uint32_t type, uint32_t width,
                            uint32_t height);

/// Writes folder + name for each name, a w x h image with each pixel value(x, y) saved as
/// type, and returns their entries in the order of names.
std::vector<Selected_file> write_selected_files(const Temp_dir& folder,
                                                const std::vector<std::string>& names, uint32_t w,
                                                uint32_t h, uint32_t type,
                                                Rgb (*value)(uint32_t x, uint32_t y));

// Telling the thumbnail grid that a file was written. The writers live in libraries built
// before the grid, so the answer is the browser seam's (core/browser_seam.h), filled in
// at start-up; until then (and in tests that install nothing) a written file is
// announced to no one.
#pragma once
#include <functional>
#include <string>

/// What file_written calls with the path of the file just written.
using File_written_fn = std::function<void(const std::string& path)>;

/// Sets browser_seam().file_written (nullptr: none) and returns the previous one.
File_written_fn set_file_written_handler(File_written_fn fn);

/// After path was written: the grid makes or updates its tile when its folder is shown.
void file_written(const std::string& path);

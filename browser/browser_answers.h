// The browser's answers to what other windows ask of it, gathered in one place so the
// selection, the grid order and the current folder are read the same way everywhere.
#pragma once
#include <string>
#include <vector>

#include "core/selected_file.h"

class Icon;

/// The one copy of a tile's file as the commands use it; the thumbnail only when asked
/// for (HDR creation reads it, a batch never does).
Selected_file copy_of_tile(const Icon& tile, bool with_thumbnail);

/// g_icon_view's selected tiles copied out, in click order; empty without a grid.
std::vector<Selected_file> selected_tiles();

/// Full paths of g_icon_view's selected tiles, in click order; empty without a grid.
/// Copies: no tile is held while the caller serves events.
std::vector<std::string> selected_tile_paths();

/// Full paths of all of g_icon_view's tiles, in grid order; empty without a grid.
std::vector<std::string> grid_tile_paths();

/// g_dir_view's current folder (ending in '/'), copied; fallback without a folder list.
/// The one place the browser reads its current folder.
std::string shown_folder_or(const std::string& fallback);

/// shown_folder_or with no fallback: empty without a folder list.
std::string shown_folder();

/// g_icon_view's tile of the file, looked up by path (after events a tile may be gone or
/// replaced); null when there is none.
Icon* tile_of(const std::string& path);

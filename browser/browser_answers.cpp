// The browser's answers read from the grid and the folder list (see the header).
#include "browser/browser_answers.h"

#include <utility>

#include "browser/dir_view.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "core/file_names.h"

Selected_file copy_of_tile(const Icon& tile, bool with_thumbnail) {
  Selected_file f;
  f.path = tile.path;
  f.name = tile.name;
  f.folder = tile.folder;
  f.type = tile.type;
  f.width = tile.width;
  f.height = tile.height;
  if (with_thumbnail) {
    f.thumb_pixels = tile.thumb_pixels;
    f.thumb_w = uint32_t(tile.thumb_w > 0 ? tile.thumb_w : 0);
    f.thumb_h = uint32_t(tile.thumb_h > 0 ? tile.thumb_h : 0);
  }
  return f;
}

std::vector<Selected_file> selected_tiles() {
  std::vector<Selected_file> files;
  if (!g_icon_view) return files;
  for (const Icon* tile : g_icon_view->selection) files.push_back(copy_of_tile(*tile, false));
  return files;
}

std::vector<std::string> selected_tile_paths() {
  std::vector<std::string> paths;
  for (Selected_file& file : selected_tiles()) paths.push_back(std::move(file.path));
  return paths;
}

std::vector<std::string> grid_tile_paths() {
  std::vector<std::string> paths;
  if (g_icon_view)
    for (const Icon* tile : g_icon_view->icons) paths.push_back(tile->path);
  return paths;
}

std::string shown_folder_or(const std::string& fallback) {
  return g_dir_view ? g_dir_view->current_dir() : fallback;
}

std::string shown_folder() { return shown_folder_or(std::string()); }

Icon* tile_of(const std::string& path) {
  if (!g_icon_view) return nullptr;
  std::string folder, name;
  split_path(path, folder, name);
  return g_icon_view->find_icon(name, folder);
}

// How the grid parts a tile's path into its folder and its name.
#pragma once
#include <string>

/// Splits path after its last '/': folder keeps the '/', name is the rest (the whole path
/// when there is no '/'). Tile names come from the folder listing, where a backslash is a
/// character of the name like any other, so only '/' parts a path here.
inline void split_tile_path(const std::string& path, std::string& folder, std::string& name) {
  const std::string::size_type slash = path.rfind('/');
  folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// One file chosen for a batch command, copied out of its thumbnail tile before any event
// is served (a tile may be gone afterwards).
#pragma once
#include <cstdint>
#include <string>

/// One selected file as the commands use it: copied from its tile, never a tile pointer.
struct Selected_file {
  std::string path;               // folder + name
  std::string name;               // file name with extension
  std::string folder;             // ends in '/'
  uint32_t type = 0;              // image type code of the tile
  int64_t width = 0, height = 0;  // from the file's header
};

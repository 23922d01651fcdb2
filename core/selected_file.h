// A file chosen for a batch command or for HDR creation, copied out of its thumbnail tile
// before any event is served (a tile may be gone afterwards).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

/// One selected file as the commands use it: copied from its tile, never a tile pointer.
struct Selected_file {
  std::string path;               // folder + name
  std::string name;               // file name with extension
  std::string folder;             // ends in '/'
  uint32_t type = 0;              // image type code of the tile
  int64_t width = 0, height = 0;  // from the file's header
};

/// One file chosen for HDR creation: copied from its tile with the tile's thumbnail.
struct Chosen_file {
  std::string path;
  uint32_t type = 0;                  // image type code
  uint32_t width = 0, height = 0;     // from the file's header
  std::vector<uint8_t> thumb_pixels;  // shown thumbnail, interleaved RGB
  uint32_t thumb_w = 0, thumb_h = 0;
};

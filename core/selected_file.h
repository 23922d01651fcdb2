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
  /// The tile's shown thumbnail, interleaved RGB (HDR creation reads the exposures from
  /// it); empty unless asked for.
  std::vector<uint8_t> thumb_pixels;
  uint32_t thumb_w = 0, thumb_h = 0;
};

// Opening a tile's file in a new viewer (double click, "&File/&Open Image").
#pragma once
#include <cstdint>
#include <string>

/// With the busy cursor, loads path as type and shows it in a new 640 x 480 viewer titled
/// with name, sized to the image. False (no viewer, cursor reset) when the image cannot be
/// loaded for any reason; the caller alerts. A file whose data is damaged is shown as far
/// as it decodes, followed by one alert saying so.
bool open_tile_image(const std::string& path, const std::string& name, const std::string& folder,
                     uint32_t type);

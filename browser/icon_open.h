// Opening a tile's file in a new viewer (double click, "&File/&Open Image").
#pragma once
#include <cstdint>
#include <string>

/// What the user reads when a tile's file cannot be opened, whatever the reason.
inline constexpr const char* k_tile_open_alert =
    "Cannot open the image. The image data seems to be corrupted.";

/// With the busy cursor, loads path as type and shows it in a new 640 x 480 viewer titled
/// with name, sized to the image. False (no viewer, cursor reset, then k_tile_open_alert)
/// when the image cannot be loaded or shown for any reason. A file whose data is damaged
/// is shown as far as it decodes, followed by one alert saying so.
bool open_tile_image(const std::string& path, const std::string& name, const std::string& folder,
                     uint32_t type);

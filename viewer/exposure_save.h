// Saving a viewer's image, whose pixels carry the display exposure, with the file's own
// values: the save step shared by the viewer's Save and the save-as chooser.
#pragma once
#include <cstdint>
#include <string>

class Hdr_image;

/// Divides every value by exposure (when it is not 1), writes the image to path as type
/// (save_image_from: always encodes, the old file replaced only whole; a JPEG keeps the
/// EXIF block of source_path, the file the image was read from, with Orientation 1), then
/// multiplies the values by exposure again. The multiplication also runs when the write
/// throws, so the image in memory keeps its exposure either way; the exception then
/// propagates and the image keeps its type code.
void save_image_at_exposure(Hdr_image& image, float exposure, const std::string& path,
                            uint32_t type, const std::string& source_path);

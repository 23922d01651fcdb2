// File-type detection: the image type code of a file from its extension (and, for TIFF,
// its tags).
#pragma once
#include <cstdint>
#include <string>

/// The extension (from the last '.' of the file name, lower-cased) as a type code: ".jpg"
/// ".jpeg" 3, ".png" 2, ".hdr" ".rgbe" ".pic" 1, ".exr" 0, ".tif" ".tiff" from the TIFF
/// tags (read_tiff_header). Anything else throws Read_error "Unsupported file type: ".
uint32_t image_type_from_extension(const std::string& path);

// PNG reading through the image library, with the size checked before it allocates.
#pragma once
#include <string>

class Hdr_image;

/// Reads the file into image: 1 to 4 channels as the library delivers them, 16-bit
/// samples scaled to 0-255. Throws Read_error for a declared size over the pixel limit,
/// the library's exception for data it cannot read.
void read_png(Hdr_image& image, const std::string& path);

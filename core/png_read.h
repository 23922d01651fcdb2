// PNG reading with libpng.
#pragma once
#include <string>

#include "core/rgb8_image.h"

class Hdr_image;

/// Reads the file into image: 1 (grey), 2 (grey, alpha), 3 (RGB; also palette) or 4 (RGBA)
/// channels, 0-255 (16-bit samples scaled). Throws Read_error: "Cannot open PNG file: ",
/// "Image too large in file: " or "Cannot read PNG data from file: " + path.
void read_png(Hdr_image& image, const std::string& path);
/// The same into 8-bit planes: the same decode and errors, each value as loaded_value_byte
/// of the one above (8-bit samples as they are).
void read_png(Rgb8_image& image, const std::string& path);

/// What a PNG holds beyond 8-bit RGB: bits per sample (8 or 16; palette and smaller grey
/// count as 8), and whether any pixel is less than fully opaque (by an alpha channel or a
/// transparency chunk). Reads the pixels only for a file with transparency information.
/// Throws Read_error as read_png.
struct Png_extras {
  int bits = 8;
  bool transparent = false;
};
Png_extras read_png_extras(const std::string& path);

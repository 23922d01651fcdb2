// JPEG reading with libjpeg, into the image type.
#pragma once
#include <string>

class Hdr_image;

/// Reads the file into image: 1 channel for grey files, 3 for colour, 4 (the raw C, M, Y,
/// K samples) for CMYK, values 0-255. Throws Read_error for a declared size over the pixel
/// limit and for data libjpeg cannot read ("Cannot read JPEG data from file: " + path).
void read_jpeg(Hdr_image& image, const std::string& path);

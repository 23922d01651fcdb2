// JPEG output of an 8-bit image through libjpeg with errors that come back as exceptions
// (the image library's JPEG writer lets libjpeg end the process on any error, a full
// disk or an image wider than 65500 pixels among them).
#pragma once
#include <cstdio>
#include <string>

class Hdr_image;

/// Encodes the image's three planes (values 0..255, truncated to bytes; NaN as 0) into the
/// open file as a baseline JFIF JPEG of the given quality. Throws Write_error "Cannot
/// write jpeg image to file: " + path when libjpeg fails; the file is then incomplete.
void write_jpeg_image(const Hdr_image& image, std::FILE* file, const std::string& path,
                      int quality);

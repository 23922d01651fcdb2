// PNG output of an 8-bit image through libpng, with every allocation freed and the user's
// path reported when libpng fails (a full disk, for one).
#pragma once
#include <cstdio>
#include <string>

class Hdr_image;

/// Encodes the image's three planes (values 0..255, truncated to bytes; NaN as 0) into the
/// open file as an 8-bit RGB PNG: no interlacing, libpng's default compression and
/// filters. Throws Write_error "Cannot write png data to file: " + path when libpng fails;
/// the file is then incomplete. path only names the file in the message.
void write_png_image(const Hdr_image& image, std::FILE* file, const std::string& path);

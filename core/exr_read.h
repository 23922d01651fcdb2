// OpenEXR reading: the R, G and B channels of the data window into an image's planes.
#pragma once
#include <string>

class Hdr_image;

/// Reads the file into image (data-window width x height x 1 x 3, the window's corner at
/// (0, 0)); missing channels read as 0. Throws Read_error with the library's message.
void read_exr(Hdr_image& image, const std::string& path);

/// Whether the file's "A" channel is anywhere below 1 (less than fully opaque); false when
/// it has none. Throws Read_error with the library's message.
bool exr_transparent(const std::string& path);

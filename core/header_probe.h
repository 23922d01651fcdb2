// Image size from the file header alone, one probe per format, for the thumbnail tiles.
// (The TIFF probe, which also classifies the file, is read_tiff_header.)
#pragma once
#include <cstdint>
#include <string>

/// The picture's size as shown, its EXIF Orientation applied (a file turned a quarter
/// gives its stored height as width). Throws Read_error "Cannot read jpeg header from
/// file: " + path.
void read_jpeg_header(const std::string& path, uint32_t& width, uint32_t& height);

/// Size of the data window. Throws Read_error "Cannot read openexr header from file: ".
void read_exr_header(const std::string& path, uint32_t& width, uint32_t& height);

/// Throws Read_error "Cannot read PNG header from file: ", "Cannot read the PNG
/// signature from file: ", "Incorrect PNG signature: " or "Failed to read PNG file: ",
/// each followed by the path.
void read_png_header(const std::string& path, uint32_t& width, uint32_t& height);

/// Throws Read_error "Cannot read rgbe header from file: " + path.
void read_rgbe_header(const std::string& path, uint32_t& width, uint32_t& height);

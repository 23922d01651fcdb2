// TIFF writers: 8-bit RGB and 32-bit float RGB through the image library, LogLuv through
// the project's own float strip writer (the library's writer would reset the photometric
// and compression tags that LogLuv needs).
#pragma once
#include <tiffio.h>

#include <string>

class Hdr_image;

/// Type 5: every value truncated to a byte (NaN as 0), 8 bits, 3 samples, contiguous,
/// photometric RGB, uncompressed. Values must lie in [0, 255].
void write_tiff8(const Hdr_image& image, const std::string& path);

/// Type 6: uncompressed 32-bit float samples, 3 per pixel, photometric RGB.
void write_tiff_float_rgb(const Hdr_image& image, const std::string& path);

/// Type 7: SGILOG-compressed LogLuv from float XYZ; the image keeps its RGB values.
/// Throws Write_error "Cannot open image file for writing: " + path when the file cannot
/// be created, and the image library's exception when a strip cannot be written.
void write_tiff_logluv(const Hdr_image& image, const std::string& path);

/// Writes every slice of the image as 32-bit float strips (samples interleaved per pixel)
/// into the open handle, one directory per slice, leaving compression, photometric,
/// planar configuration and data format as the caller set them; closes the handle. A null
/// handle opens path itself. Throws the image library's exceptions.
void write_tiff_float(const Hdr_image& image, TIFF* handle, const std::string& path);

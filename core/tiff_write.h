// TIFF writers on libtiff: 8-bit RGB, 32-bit float RGB and LogLuv, in the layout the image
// library's writer gives (its own writer leaks a strip and the handle on a failed write,
// and would reset the photometric and compression tags that LogLuv needs).
#pragma once
#include <tiffio.h>

#include <string>

class Hdr_image;

/// Type 5: every value truncated to a byte (NaN as 0), 8 bits, 3 samples, contiguous,
/// photometric RGB, uncompressed, orientation 1, Software "CImg", the byte range in the
/// sample-value tags. The old file is replaced only whole. Throws Write_error "Cannot open
/// image file for writing: " + path when the file cannot be created and "Cannot write
/// tiff data to file: " + path when writing fails.
void write_tiff8(const Hdr_image& image, const std::string& path);

/// Type 6: uncompressed 32-bit float samples, 3 per pixel, photometric RGB, otherwise as
/// write_tiff8 (the value range without NaN in the sample-value tags).
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

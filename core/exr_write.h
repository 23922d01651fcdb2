// OpenEXR writer: scanline file, ZIP compression, FLOAT channels R, G, B.
#pragma once
#include <string>

class Hdr_image;

/// Writes the image's three planes through a temporary file beside path. Failures of the
/// OpenEXR library reach the caller as its exceptions (derived from std::exception);
/// Write_error "Cannot open image file for writing: " + path when no temporary file can
/// be made. The old file at path stays intact on any failure.
void write_exr(const Hdr_image& image, const std::string& path);

/// Lets OpenEXR compress on one thread per core from now on (the library's own pool; 0
/// threads, its default, compresses on the caller's thread). The program calls it once at
/// start-up; files come out byte for byte the same either way.
void start_exr_threads();

// TIFF reading with libtiff: the header probe that classifies a file, and the pixel reader
// for 8-bit, 16-bit, integer and float samples, palette and CMYK, LogLuv and LogL.
#pragma once
#include <cstdint>
#include <string>

#include "core/rgb8_image.h"

class Hdr_image;

/// Opens the file and classifies it from its tags: k_type_tiff_logluv, k_type_tiff_logl,
/// else k_type_tiff8 (at most 8 bits per sample) or k_type_tiff_float. Throws Read_error.
void read_tiff_header(const std::string& path, uint32_t& width, uint32_t& height, uint32_t& type);

/// Reads the first image of the file into image: raw sample values (8-bit 0-255, 16-bit
/// 0-65535, float as stored) with 1 channel for grey (alpha dropped) or the first 3; LogLuv
/// converted from XYZ to linear RGB; LogL as one channel of luminance. Throws Read_error.
void read_tiff(Hdr_image& image, const std::string& path);
/// The same into 8-bit planes: the same reading and errors, each value as loaded_value_byte
/// of the one above (8-bit samples as they are).
void read_tiff(Rgb8_image& image, const std::string& path);

/// What a TIFF holds beyond the colour samples the loader keeps: its bits per sample and
/// sample format (SAMPLEFORMAT_*), and whether a sample declared as alpha (associated or
/// not) is anywhere below full opacity. Reads the pixels only for a file with such a
/// sample. Throws Read_error.
struct Tiff_extras {
  uint16_t bits = 8;
  uint16_t format = 1;
  bool transparent = false;
};
Tiff_extras read_tiff_extras(const std::string& path);

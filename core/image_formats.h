// The one table of image formats: per image type code its file extensions, its range (HDR
// or 8-bit), its header probe, reader and writer. Type detection, loading, saving, the
// save-as lists, the batch output types and the thumbnail tiles all read it.
#pragma once
#include <cstdint>
#include <string>

#include "core/rgb8_image.h"

class Hdr_image;

/// Image size from the file header alone. A probe of a row whose type comes from the tags
/// also sets type; the others leave it as it is. Throws Read_error.
using Header_probe = void (*)(const std::string& path, uint32_t& width, uint32_t& height,
                              uint32_t& type);
/// Fills image with the file's pixels (any channel count; load_image brings it to three).
using Image_reader = void (*)(Hdr_image& image, const std::string& path);
/// The reader of an 8-bit type straight into byte planes: the same decode, checks and
/// errors, each value as loaded_value_byte of the one the Image_reader gives.
using Byte_reader = void (*)(Rgb8_image& image, const std::string& path);

/// The file an image being written came from, for what a format carries over from it
/// (the EXIF block of a JPEG).
struct Write_source {
  const std::string& path;
  uint32_t type;
};
/// Encodes an image already clamped to its type's range into path, replacing it whole.
using Image_writer = void (*)(const Hdr_image& image, const std::string& path,
                              const Write_source& source);

/// One image type code.
struct Image_format {
  uint32_t type;
  /// Lower case with the dot, null-terminated; the first is the one a saved file gets.
  /// The "new image" codes have none.
  const char* extensions[4];
  bool hdr;  // values range up to the largest float, else 8-bit samples 0..255
  /// The extensions name a family (TIFF): the probe reads the code from the file's tags.
  bool type_from_tags;
  Header_probe probe;      // null when the type names no file
  Image_reader read;       // null when the type names no file
  Image_writer write;      // null for read-only types and those that name no file
  Byte_reader read_bytes;  // the 8-bit types' readers into bytes; null for the others
};

/// The row of a type code; null for codes that are no image type.
const Image_format* image_format(uint32_t type);

/// The first row taking the extension (compared without regard to case, whole, with the
/// dot); for a family that is its first member. Null when no row takes it.
const Image_format* image_format_for_extension(std::string extension);

/// image_format_for_extension of the file name's extension as fl_filename_ext gives it.
const Image_format* image_format_for_name(const std::string& name);

/// The extension a file saved as type gets (".exr", ".hdr", ".png", ".jpg", ".tif"); ""
/// for a type that names no file.
const char* saved_extension(uint32_t type);

/// True for the type codes an image can be written as: 0, 1, 2, 3, 5, 6, 7.
bool is_writable_type(uint32_t type);

/// The rows in code order, for walking the table.
const Image_format* image_formats_begin();
const Image_format* image_formats_end();

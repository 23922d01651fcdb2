// Saving an image in the format of an image type code: the one dispatcher and its two
// wrappers. Every image file the program writes goes through here.
#pragma once
#include <cstdint>
#include <string>

class Hdr_image;
struct Write_source;

/// Writes image to path as type (0 OpenEXR, 1 RGBE, 2 PNG, 3 JPEG, 5 8-bit TIFF, 6 float
/// TIFF, 7 LogLuv TIFF). When force is false and type equals source_type, the file at
/// source_path is copied to path byte for byte instead. Otherwise the pixels are clamped
/// in place (HDR types to [0, 3.4028235e38], others to [0, 255]; NaN stays) and encoded;
/// a JPEG saved from a JPEG (source_type 3) keeps the EXIF block of source_path, read
/// before path is replaced, with its Orientation tag set to 1: the pixels are written as
/// shown (loaded upright, perhaps turned since). Sets the image's type to type afterwards.
/// The file at path is only ever replaced whole (temporary file and rename).
/// Throws Write_error: an encoder's other std::exception becomes "Cannot write image data
/// to file: " + path + " (" + its text + ")"; types 4, 8, 9 and 10 cannot be
/// written and throw Write_error "Unsupported image type for writing: " + path, as does
/// an image without exactly three channels or without pixels ("Cannot write image data
/// to file: ").
void save_image(Hdr_image& image, const std::string& path, uint32_t type,
                const std::string& source_path, uint32_t source_type, bool force);

/// save_image(image, path, image.type, path, image.type, true): re-encodes a file in its
/// own format (batch rotate and flip).
void save_image_own_type(Hdr_image& image, const std::string& path);

/// save_image(image, path, type, path, image.type, true): always encodes.
void save_image_as(Hdr_image& image, const std::string& path, uint32_t type);

/// save_image(image, path, type, source_path, image.type, true): always encodes;
/// a JPEG written from a JPEG-coded image keeps the EXIF block of source_path, the file
/// the image was read from, whatever name it is written under.
void save_image_from(Hdr_image& image, const std::string& path, uint32_t type,
                     const std::string& source_path);

/// Clamps every value in place to [lo, hi]; NaN is left as it is.
void clamp_values(Hdr_image& image, float lo, float hi);

/// The format table's PNG and JPEG writers: into a temporary file renamed over path. A
/// JPEG written from a JPEG source (source.type 3) keeps the EXIF block of source.path,
/// read before path is replaced, with Orientation 1.
void write_png_file(const Hdr_image& image, const std::string& path, const Write_source& source);
void write_jpeg_file(const Hdr_image& image, const std::string& path, const Write_source& source);

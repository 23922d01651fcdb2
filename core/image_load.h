// Loading any supported file into an Hdr_image: dispatch by type code, three channels,
// values clamped to [0, largest float].
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/rgb8_image.h"

class Hdr_image;

/// Reads the file as the given code (0, 1, 2, 3, 5, 6, 7 or 8) into image, brings it to
/// exactly 3 channels (grey and grey+alpha become three copies of the first channel,
/// alpha and further channels are dropped), with every value in [0, 3.4028235e38] (NaN
/// stays; the readers clamp while decoding), and sets image.type. Other codes throw Read_error
/// "Unsupported file type: ". Throws Read_error, or the image library's exception for PNG and JPEG
/// data; a JPEG whose data is damaged throws Incomplete_image_error (image is left empty),
/// so that no command takes the decoder's fill for the picture.
void load_image(Hdr_image& image, const std::string& path, uint32_t type);

/// load_image as byte planes, as HDR creation merges an exposure: planes receives the three
/// planes load_image would give, each value as loaded_value_byte (rounded, clamped to
/// 0..255, NaN as 0). The 8-bit types (PNG, JPEG, 8-bit TIFF) are decoded straight into
/// the bytes by their readers' byte forms (same decoder settings, checks and errors);
/// the others through load_image. Throws as load_image (a damaged JPEG: the same
/// Incomplete_image_error); planes is then left empty or as it was.
void load_image_bytes(Rgb8_image& planes, const std::string& path, uint32_t type);

/// load_image for showing: a damaged file comes back with the part that could be decoded,
/// and damage receives the Incomplete_image_error text to tell the user (empty when the
/// file is whole). Throws as load_image for every other failure.
std::unique_ptr<Hdr_image> load_image_to_show(const std::string& path, uint32_t type,
                                              std::string& damage);

/// image_type_from_extension, then load_image.
void load_image_detect_type(Hdr_image& image, const std::string& path);

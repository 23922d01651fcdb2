// Reading one exposure of an HDR series as the 8-bit planes the merge works on.
#pragma once
#include <cstdint>
#include <string>

#include "core/pixel_buffers.h"
#include "hdr/exposure_planes.h"

/// Loads the file as type (its tile's image type code) through the program's readers and
/// returns it as planar 8-bit RGB (load_image_bytes): an 8-bit source decoded straight into
/// the bytes, an HDR one loaded and each value rounded to the nearest level and clamped to
/// 0..255 (NaN gives 0). Throws what the readers throw (Read_error, Incomplete_image_error
/// for a damaged JPEG, std::bad_alloc).
Rgb8_image load_exposure(const std::string& path, uint32_t type);

/// A view of the image's planes for the merge (not owned; valid while image lives).
Exposure_planes exposure_planes_of(Rgb8_image& image);

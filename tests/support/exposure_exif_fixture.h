// JPEG exposures carrying the EXIF fields HDR creation reads: make, model, exposure time
// and capture time, written with libexif.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

struct Exposure_exif {
  std::optional<std::string> make, model;
  /// ExposureTime as a rational numerator / denominator.
  std::optional<uint32_t> time_numerator;
  uint32_t time_denominator = 1;
  /// DateTimeOriginal text, such as "2024:05:06 07:08:09".
  std::optional<std::string> date_time_original;
};

/// The EXIF block ("Exif\0\0" and TIFF data) holding the fields that are set; make and
/// model in IFD0, the others in the EXIF IFD. No field set gives a block of empty IFDs.
std::string exposure_exif_block(const Exposure_exif& fields);

/// Writes an 8 x 8 RGB JPEG of one grey level with the block; throws std::runtime_error.
void write_exposure_jpeg(const std::string& path, const Exposure_exif& fields, uint8_t grey = 128);

// The thumbnail a camera embeds in a JPEG file's EXIF data: read with libexif, decoded
// from memory with libjpeg and fitted into the thumbnail box.
#pragma once
#include <libexif/exif-data.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/thumbnail_pixels.h"

struct Exif_release {
  void operator()(ExifData* data) const {
    if (data) exif_data_unref(data);
  }
};
/// One reference to an EXIF record, released with exif_data_unref.
using Exif_record = std::unique_ptr<ExifData, Exif_release>;

/// The file's EXIF record, null when it is not a regular file or holds no EXIF data.
/// Reads only until the EXIF block is found; never waits on a named pipe.
Exif_record read_exif_record(const std::string& path);

/// Embedded thumbnails larger than this many pixels are refused (cameras store about
/// 160 x 120; a header declaring more is taken as corrupt).
constexpr uint64_t k_max_exif_thumbnail_pixels = 1ull << 22;

/// Decodes JPEG bytes into width*height*3 interleaved R, G, B bytes (grey data repeated
/// into the three channels). False, silently, for corrupt data (any libjpeg warning, such
/// as data cut short, counts), data that does not decode
/// to three channels (CMYK) or more than max_pixels pixels.
bool decode_jpeg_rgb_memory(const uint8_t* bytes, size_t size, std::vector<uint8_t>& rgb,
                            uint32_t& width, uint32_t& height,
                            uint64_t max_pixels = k_max_exif_thumbnail_pixels);

/// Reads the file's EXIF data into exif (null when it has none; an earlier record is
/// released first), then decodes its embedded thumbnail from memory and fits it into the
/// thumbnail box, upright as the record's Orientation says. True when a thumbnail was
/// made; false for no EXIF data, no embedded thumbnail, or one that cannot be decoded.
/// Never throws for bad data.
bool load_exif_thumbnail(const std::string& path, Thumbnail_planes& out, Exif_record& exif);

// EXIF blocks built with libexif, as APP1 segments, and JPEG files that start with them.
#pragma once
#include <cstdint>
#include <string>

/// An APP1 segment (FF E1, big-endian length, "Exif\0\0", TIFF data) holding Make and
/// Model in IFD0; with a thumbnail, IFD1 and the given JPEG bytes as embedded thumbnail.
/// big_endian selects "MM" over "II". A non-zero orientation adds an Orientation entry
/// (one SHORT) with that value to IFD0.
std::string exif_app1_segment(const std::string& make, const std::string& model,
                              const std::string& thumbnail = {}, bool big_endian = false,
                              int orientation = 0);

/// The JPEG bytes with the segment inserted right after the start-of-image marker, so that
/// the file starts FF D8 FF E1 like a camera's.
std::string with_leading_segment(const std::string& jpeg, const std::string& segment);

/// The JPEG bytes (which must start with libjpeg's JFIF segment, FF D8 FF E0) with the
/// segment inserted right after that APP0 segment, as many cameras and editors write.
std::string with_segment_after_jfif(const std::string& jpeg, const std::string& segment);

/// Writes a w x h RGB JPEG (a diagonal pattern) to path laid out as many cameras write one:
/// libjpeg's JFIF segment, then an EXIF block with Make "Canon", Model "EOS 5D", the given
/// Orientation and the picture itself as embedded thumbnail. Returns that EXIF segment.
/// Throws std::runtime_error.
std::string write_camera_jpeg(const std::string& path, uint32_t w, uint32_t h, int orientation);

/// Offset of the two value bytes of IFD0's Orientation entry in such a segment, or -1.
int64_t orientation_offset(const std::string& segment);

/// What a JPEG saved from a file with this segment starts with after FF D8: the segment
/// with its IFD1 link 0 and its Orientation value 1 (the pixels are written as shown).
std::string carried_segment(const std::string& segment);

/// Offset of the IFD0-to-IFD1 link inside a segment from exif_app1_segment, or -1.
int64_t ifd1_link_offset(const std::string& segment);
/// The 32-bit value stored at that link (the IFD1 offset; 0 when cut).
uint32_t ifd1_link(const std::string& segment);

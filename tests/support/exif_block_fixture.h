// EXIF blocks built with libexif, as APP1 segments, and JPEG files that start with them.
#pragma once
#include <cstdint>
#include <string>

/// An APP1 segment (FF E1, big-endian length, "Exif\0\0", TIFF data) holding Make and
/// Model in IFD0; with a thumbnail, IFD1 and the given JPEG bytes as embedded thumbnail.
/// big_endian selects "MM" over "II".
std::string exif_app1_segment(const std::string& make, const std::string& model,
                              const std::string& thumbnail = {}, bool big_endian = false);

/// The JPEG bytes with the segment inserted right after the start-of-image marker, so that
/// the file starts FF D8 FF E1 like a camera's.
std::string with_leading_segment(const std::string& jpeg, const std::string& segment);

/// Offset of the IFD0-to-IFD1 link inside a segment from exif_app1_segment, or -1.
int64_t ifd1_link_offset(const std::string& segment);
/// The 32-bit value stored at that link (the IFD1 offset; 0 when cut).
uint32_t ifd1_link(const std::string& segment);

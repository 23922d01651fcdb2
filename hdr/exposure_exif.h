// The EXIF fields HDR creation reads from an exposure's file: camera make and model,
// exposure time and capture time, each as libexif prints it.
#pragma once
#include <cstdint>
#include <string>

/// The camera name used when EXIF make or model is missing.
inline constexpr const char* k_unknown_camera_field = "Unknown";

/// The entry of tag as libexif's text (at most max_chars characters), from the first of
/// the IFDs 0, 1, EXIF, GPS, Interoperability that holds it. False when the file is not a
/// regular file, has no EXIF data or lacks the tag.
bool read_exif_text(const std::string& path, int tag, std::string& text, int max_chars);

/// Make (tag 271) and model (tag 272), each "Unknown" when absent.
void read_camera_make_model(const std::string& path, std::string& make, std::string& model);

/// The text of ExposureTime (tag 33434), at most 127 characters.
bool read_exposure_time_text(const std::string& path, std::string& text);

/// DateTimeOriginal ("YYYY:MM:DD HH:MM:SS") as seconds of local time; false when it
/// cannot be parsed into six numbers, is EXIF's "unknown" date of zeros, or the
/// conversion fails.
bool parse_capture_time(const std::string& text, int64_t& seconds);

/// DateTimeOriginal (tag 36867) of the file read through parse_capture_time.
bool read_capture_time(const std::string& path, int64_t& seconds);

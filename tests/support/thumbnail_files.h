// JPEG files for thumbnail tests: plain pictures of one colour and photographs carrying an
// embedded EXIF thumbnail (valid, corrupt or grey).
#pragma once
#include <cstdint>
#include <string>

/// The bytes of a baseline JPEG of w x h in one colour (grey files take red).
/// components: 1 or 3.
std::string solid_jpeg(uint32_t w, uint32_t h, uint8_t red, uint8_t green, uint8_t blue,
                       int components = 3);

/// main with an APP1 EXIF block right after its start, holding thumbnail as the embedded
/// thumbnail (any bytes: a corrupt one too).
std::string with_exif_thumbnail(const std::string& main, const std::string& thumbnail);

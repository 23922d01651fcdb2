// Writes baseline JPEG files through libjpeg for reader tests: grey or RGB, with an optional
// APP1 block (an EXIF block built with libexif, for instance).
#pragma once
#include <cstdint>
#include <string>

/// components: 1 (grey), 3 (RGB) or 4 (CMYK, stored as Adobe YCCK by libjpeg); data: interleaved
/// bytes, row by row. app1 (may be empty) is written as an APP1 marker right after the start of
/// compression; progressive writes libjpeg's simple progressive scan script instead of one baseline
/// scan. Throws std::runtime_error.
void write_jpeg(const std::string& path, uint32_t width, uint32_t height, int components,
                const uint8_t* data, int quality = 95, const std::string& app1 = {},
                bool progressive = false);

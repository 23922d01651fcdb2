// Builds Radiance RGBE files byte by byte: headers, flat pixels and run-length scanlines,
// so tests can also assemble malformed files piece by piece.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

/// One pixel as stored: red, green and blue mantissas and the shared exponent.
using Rgbe_pixel = std::array<uint8_t, 4>;

/// The usual encoding of a float colour (frexp of the largest channel; 0 for tiny values).
Rgbe_pixel rgbe_from_float(float red, float green, float blue);

/// Raw bytes, for hand-made pieces: rgbe_raw({2, 2, 0, 8}).
std::string rgbe_raw(std::initializer_list<int> bytes);

/// "-Y <height> +X <width>", the resolution line of a top-down file.
std::string rgbe_resolution(uint32_t width, uint32_t height);

/// lines (each ending in '\n'), the blank line, then resolution_line and '\n'.
std::string rgbe_header(const std::string& resolution_line,
                        const std::string& lines = "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n");

/// Pixels as consecutive 4-byte groups.
std::string rgbe_flat(const std::vector<Rgbe_pixel>& pixels);

/// One run-length scanline: 2, 2, width high, width low, then the four components, each
/// as runs (count > 128) and literal stretches (count 1 to 128).
std::string rgbe_rle_scanline(const Rgbe_pixel* row, uint32_t width);

/// A whole file: header, then width*height pixels flat or run-length per scanline.
std::string rgbe_file(uint32_t width, uint32_t height, const std::vector<Rgbe_pixel>& pixels,
                      bool rle);

// JPEG files stored turned, with the EXIF Orientation that shows them upright: whatever
// the code, the upright picture is one asymmetric pattern of flat blocks.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

/// The upright pattern: 3 x 2 blocks of 16 x 16 pixels (whole JPEG blocks, so each
/// decodes flat), every block its own colour.
constexpr uint32_t k_pattern_w = 48, k_pattern_h = 32;

/// Where the upright pixel (x, y) stands in a stored picture of sw x sh under an EXIF
/// Orientation, as the EXIF definition of the codes places the stored row 0 and column 0
/// (codes outside 2..8: where it stands).
void stored_position(int orientation, uint32_t x, uint32_t y, uint32_t sw, uint32_t sh,
                     uint32_t& sx, uint32_t& sy);

/// The upright colour at (x, y) of the pattern, each channel times gain (rounded, at most
/// 255).
std::array<uint8_t, 3> pattern_colour(uint32_t x, uint32_t y, double gain = 1.0);

/// Writes to path a JPEG of quality 100 whose stored pixels show the pattern upright when
/// turned as orientation (1 to 8) says: an EXIF block with that Orientation follows the
/// JFIF segment; with thumbnail, the stored picture is the embedded thumbnail as well.
/// The stored picture is laid out from the EXIF definition of the codes, not from the
/// program's mapping. Throws std::runtime_error.
void write_oriented_jpeg(const std::string& path, int orientation, bool thumbnail = false,
                         double gain = 1.0);

/// Value of channel c (0 red, 1 green, 2 blue) at (x, y) of a picture under test.
using Pixel_at = std::function<double(uint32_t x, uint32_t y, int c)>;

/// Passes when a w x h picture shows the pattern (times gain) upright: its size has the
/// pattern's aspect, and the centre of every block, scaled to the picture, is within tol
/// of the block's colour.
::testing::AssertionResult shows_pattern(uint32_t w, uint32_t h, const Pixel_at& pixel,
                                         double gain = 1.0, double tol = 6.0);

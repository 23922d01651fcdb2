// Exact quarter turns and mirror images of an Hdr_image: every pixel moves, none is
// resampled (batch rotate and flip of files); and the EXIF Orientation's mapping that
// shows a stored picture upright, on images and on 8-bit buffers.
#pragma once
#include <cstdint>

class Hdr_image;

/// Turns the whole image (every plane) by degrees, a multiple of 90: positive turns
/// clockwise on screen, negative counter-clockwise. A quarter turn swaps width and height.
/// Throws std::invalid_argument for any other angle. The type code and statistics stay.
void rotate_quarter_turns(Hdr_image& image, int degrees);

/// Mirrors the whole image: axis 'x' reverses every row (left and right swap), 'y'
/// reverses the order of the rows (top and bottom swap). Throws std::invalid_argument for
/// any other axis.
void flip_image(Hdr_image& image, char axis);

/// Where each stored pixel goes to show the picture upright under an EXIF Orientation
/// code (1 as stored, 2 mirrored left-right, 3 turned 180 degrees, 4 mirrored top-bottom,
/// 5 mirrored about the main diagonal, 6 turned 90 degrees clockwise, 7 mirrored about the
/// other diagonal, 8 turned 90 degrees counter-clockwise; any other code counts as 1).
/// Stored pixel (x, y) of a stored_w x stored_h picture lands at row-major index
/// start + x * step_x + y * step_y of the shown_w x shown_h picture; codes 5 to 8 swap
/// the sides. The one mapping every upright loader and thumbnail uses.
struct Orientation_walk {
  uint32_t shown_w = 0, shown_h = 0;
  int64_t start = 0, step_x = 1, step_y = 0;
};
Orientation_walk orientation_walk(uint32_t orientation, uint32_t stored_w, uint32_t stored_h);

/// True when the code turns the picture upright without moving any pixel (1, and the
/// codes outside 1..8).
bool orientation_is_normal(uint32_t orientation);

/// Writes planes planes (all values of one plane, then the next) of a stored_w x stored_h
/// picture from src upright into dst, which holds as many values and does not overlap src.
void orient_planar(const float* src, float* dst, uint32_t stored_w, uint32_t stored_h,
                   uint32_t planes, uint32_t orientation);
void orient_planar(const uint8_t* src, uint8_t* dst, uint32_t stored_w, uint32_t stored_h,
                   uint32_t planes, uint32_t orientation);

/// The same for interleaved pixels of channels values each (RGB rows, for one).
void orient_interleaved(const uint8_t* src, uint8_t* dst, uint32_t stored_w, uint32_t stored_h,
                        uint32_t channels, uint32_t orientation);

/// Turns a decoded picture (every plane; depth 1) upright in place; its width and height
/// follow, the type code stays. Code 1 leaves it untouched.
void orient_image(Hdr_image& image, uint32_t orientation);

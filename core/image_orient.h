// Exact quarter turns and mirror images of an Hdr_image: every pixel moves, none is
// resampled (batch rotate and flip of files).
#pragma once

class Hdr_image;

/// Turns the whole image (every plane) by degrees, a multiple of 90: positive turns
/// clockwise on screen, negative counter-clockwise. A quarter turn swaps width and height.
/// Throws std::invalid_argument for any other angle. The type code and statistics stay.
void rotate_quarter_turns(Hdr_image& image, int degrees);

/// Mirrors the whole image: axis 'x' reverses every row (left and right swap), 'y'
/// reverses the order of the rows (top and bottom swap). Throws std::invalid_argument for
/// any other axis.
void flip_image(Hdr_image& image, char axis);

// Pseudo colour: log luminance mapped onto a 256-colour ramp from magenta through blue,
// cyan, green and yellow to red.
#pragma once
#include <array>

class Hdr_image;

/// Entry i: R, G, B, each a multiple of 1/255.
using Pseudo_color_table = std::array<std::array<float, 3>, 256>;
const Pseudo_color_table& pseudo_color_table();

/// Display RGB (gamma 2.2) of source into pseudo colour, R, G, B in 0..255, in
/// destination (same size, three planes; checked by the caller). The darkest finite
/// luminance maps to entry 0, the brightest to 255; black, NaN and overflowing pixels
/// are clamped to the ends of the ramp.
void pseudo_color_from_rgb(const Hdr_image& source, Hdr_image& destination);

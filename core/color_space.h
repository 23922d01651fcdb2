// The colour-space converter: three planes of one image into three planes of another,
// for a fixed set of (from, to) pairs. Its user in the program is pseudo colour.
#pragma once
#include <cstdint>

class Hdr_image;

/// Colour-space codes (5 is not assigned).
enum Color_space : uint32_t {
  k_space_rgb_gamma = 0,   // RGB with gamma 2.2 (display values)
  k_space_rgb_linear = 1,  // linear RGB
  k_space_xyz = 2,         // CIE XYZ
  k_space_yxy = 3,         // Y, x, y
  k_space_lms = 4,         // cone space
  k_space_lab = 6,         // L*, a*, b*
  k_space_lch = 7,         // L*, C, h in degrees
  k_space_hsv = 8,         // H in degrees, S and V in 0..1
  k_space_pseudo = 9,      // pseudo colour, R, G, B in 0..255 (target only)
};

struct Color_space_params {
  uint32_t from = k_space_rgb_gamma;
  uint32_t to = k_space_pseudo;
  float scale = 1.f;  // when not 1, the matrix pairs first divide copies of the source by it
  float gain = 1.f;   // when not 1, the matrix pairs multiply their results by it
  float white_x = 0.9504f, white_y = 1.f, white_z = 1.0889f;  // for L*a*b* to XYZ
};

/// Converts source into destination for the pairs 0 -> 2, 3, 4, 9; 1 -> 2, 3, 4; 2 -> 0;
/// 6 -> 2; 7 -> 6; 8 -> 0. Every other pair returns without writing anything. The images
/// need the same width and height and three planes each (std::invalid_argument otherwise,
/// before anything is written); they may be the same image.
void transform_color_space(const Color_space_params& params, const Hdr_image& source,
                           Hdr_image& destination);

/// Helpers over three planes of n values.
void divide_by_scale(float* p0, float* p1, float* p2, uint64_t n, float scale);
void apply_gain(float* p0, float* p1, float* p2, uint64_t n, float gain);
/// powf of each value (negative values give NaN).
void pow_planes(float* p0, float* p1, float* p2, uint64_t n, float exponent);
/// Values below lo become lo, above hi become hi; NaN stays.
void clamp_planes(float* p0, float* p1, float* p2, uint64_t n, float lo, float hi);

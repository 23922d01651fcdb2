// Bulk float operations of the readers, vectorised: clamping to the loaded value range and
// splitting interleaved RGB into planes.
#pragma once
#include <cstdint>

/// clamp_loaded_value (core/image_limits.h) over n values in place; NaN passes.
void clamp_loaded_values(float* values, uint64_t n);

/// n interleaved RGB pixels (3n floats) into three planes, each value clamped as above.
void split_rgb_clamped(const float* rgb, uint64_t n, float* red, float* green, float* blue);

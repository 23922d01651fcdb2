// The arithmetic of the camera response plot: where a response value lands in the plot
// box, and the two reference curves drawn beside a camera's own.
#pragma once

/// Where value lands in a plot box height pixels high, as rows up from its bottom line:
/// (int)(height * value), the product in single precision and truncated toward zero. Only
/// values from 0 to 1 land inside the box; the rest are clipped when drawn, so offsets
/// are held to at most one box height beyond either edge (a huge or infinite value must
/// not overflow the conversion or the window system's 16-bit coordinates). False for NaN,
/// which lies nowhere: a segment with such an end is not drawn.
bool plot_row_offset(float value, int height, int& offset);

/// The references for n points (n >= 1): with s = i / (n - 1) in single precision,
/// gamma[i] = powf(s, 2.2) (a gamma-2.2 response) and linear[i] = s. One point gives s = 0.
void fill_reference_curves(int n, float* gamma, float* linear);

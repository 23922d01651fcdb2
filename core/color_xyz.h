// In-place conversions between linear RGB and CIE XYZ, as the LogLuv TIFF codec needs
// them (its data is XYZ).
#pragma once

class Hdr_image;

/// Every pixel of the first three planes from RGB to XYZ, in double; each result below 0
/// becomes 0 (NaN passes).
void rgb_to_xyz(Hdr_image& image);
/// Every pixel from XYZ back to RGB; each result below 0 becomes 0 (NaN passes).
void xyz_to_rgb(Hdr_image& image);

// The planar 8-bit image type by name alone, for headers that pass it without its pixels.
#pragma once

namespace cimg_library {
template <typename T>
struct CImg;
}

/// Planar 8-bit image (all red bytes, then green, then blue), as the display and the HDR
/// merge use.
using Rgb8_image = cimg_library::CImg<unsigned char>;

// Cutting a rectangle out of an Hdr_image: every plane keeps the same columns and rows.
#pragma once

class Hdr_image;

/// Inclusive pixel bounds: columns x0..x1, rows y0..y1.
struct Crop_bounds {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

/// True when the bounds are ordered (x0 <= x1, y0 <= y1) and lie inside an image of
/// width x height.
bool crop_bounds_inside(const Crop_bounds& b, int width, int height);

/// Replaces the image by its columns x0..x1 and rows y0..y1 of every plane, so
/// (x1 - x0 + 1) x (y1 - y0 + 1) pixels. The type code stays; the statistics cache is
/// cleared (it described the whole image). Throws std::invalid_argument, leaving the
/// image as it was, when the bounds are not inside the image.
void crop_image(Hdr_image& image, const Crop_bounds& bounds);

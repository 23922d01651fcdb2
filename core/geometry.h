// Two small geometric helpers: rectangle overlap (rubber-band selection) and the scale
// that fits an image into a box (viewers, thumbnails).
#pragma once
#include <cstdint>

/// True when (x0, y0)-(x1, y1) and (a0, b0)-(a1, b1) overlap; touching edges count.
/// Corners are inclusive and given as top-left, bottom-right.
bool rects_intersect(int x0, int y0, int x1, int y1, int a0, int b0, int a1, int b1);

/// min(box_w / image_w, box_h / image_h) in float; the caller caps it. A side of zero
/// length (an empty or unreadable image) gives 1.0 instead of dividing by zero.
float fit_scale(std::uint32_t box_w, std::uint32_t box_h, std::uint32_t image_w,
                std::uint32_t image_h);

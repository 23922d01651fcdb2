// Plain arithmetic of the viewer's sizes and rectangles (see the header).
#include "viewer/viewer_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/geometry.h"

Window_size viewer_window_size(int work_w, int work_h, uint32_t iw, uint32_t ih) {
  Window_size s;
  if (iw == 0 || ih == 0) {
    s.h = k_viewer_menu_height;
    return s;
  }
  const float factor = std::min(
      1.0f, fit_scale(uint32_t(std::max(work_w, 0)), uint32_t(std::max(work_h, 0)), iw, ih));
  // In float, as the scale itself is.
  s.h = int(float(ih) * factor) + k_viewer_menu_height;
  s.w = std::min(work_w - 11, int(float(iw) * factor));
  if (s.h > work_h - 30) {
    s.h = work_h - 30;
    // The product in 64-bit integers, the division in floating point.
    const int64_t product = int64_t(work_h - 30 - k_viewer_menu_height) * int64_t(iw);
    s.w = int(double(product) / double(ih));
  }
  return s;
}

Window_place viewer_window_place(int work_x, int work_y, int work_w, int work_h, int w, int h) {
  Window_place p;
  // In 64 bits: a work area far from the origin must not overflow the sum.
  p.x = int(int64_t(work_x) + std::max<int64_t>(0, (int64_t(work_w) - w) / 2));
  p.y = int(int64_t(work_y) + k_viewer_title_room +
            std::max<int64_t>(0, (int64_t(work_h) - k_viewer_title_room - h) / 2));
  return p;
}

Display_size capped_display_size(uint32_t iw, uint32_t ih, float zoom) {
  Display_size d;
  d.zoom = zoom;
  // In double: a float product of a large side loses whole pixels.
  const double w = std::floor(double(iw) * zoom), h = std::floor(double(ih) * zoom);
  d.w = int(std::clamp(w, 1.0, 1e9));
  d.h = int(std::clamp(h, 1.0, 1e9));
  if (d.w > k_max_display_side && iw > 0) {
    d.w = k_max_display_side;
    d.zoom = float(k_max_display_side) / float(iw);
    d.h = std::max(1, int(double(d.zoom) * ih));
  }
  if (d.h > k_max_display_side && ih > 0) {
    d.h = k_max_display_side;
    d.zoom = float(k_max_display_side) / float(ih);
    d.w = std::max(1, int(double(d.zoom) * iw));
  }
  return d;
}

namespace {

// A scrolled position to an image index inside [0, size - 1].
int to_index(double v, uint32_t size) {
  if (!(v > 0)) return 0;  // NaN too
  return int(std::min(v, double(size) - 1));
}

}  // namespace

Image_rect visible_image_rect(int scroll_x, int scroll_y, int view_w, int view_h, float zoom,
                              uint32_t iw, uint32_t ih) {
  Image_rect r;
  r.x0 = to_index(scroll_x / double(zoom), iw);
  r.y0 = to_index(scroll_y / double(zoom), ih);
  const double span_x = view_w / double(zoom), span_y = view_h / double(zoom);
  r.x1 = int(std::clamp(double(r.x0) + (span_x > 0 ? std::trunc(span_x) : 0.0), double(r.x0) + 1,
                        double(iw)));
  r.y1 = int(std::clamp(double(r.y0) + (span_y > 0 ? std::trunc(span_y) : 0.0), double(r.y0) + 1,
                        double(ih)));
  return r;
}

void selection_to_image_bounds(const int in[4], int box_x, int box_y, float zoom, int out[4]) {
  const int left = std::min(in[0], in[2]), top = std::min(in[1], in[3]);
  out[0] = int((left - box_x) / zoom);
  out[1] = int((top - box_y) / zoom);
  out[2] = out[0] + int(std::abs(in[2] - in[0]) / zoom);
  out[3] = out[1] + int(std::abs(in[3] - in[1]) / zoom);
}

bool clamp_bounds_to_image(int b[4], uint32_t iw, uint32_t ih) {
  if (iw == 0 || ih == 0) return false;
  const int64_t right = int64_t(iw) - 1, bottom = int64_t(ih) - 1;
  if (b[2] < 0 || b[3] < 0 || b[0] > right || b[1] > bottom) return false;
  b[0] = std::max(b[0], 0);
  b[1] = std::max(b[1], 0);
  b[2] = int(std::min<int64_t>(b[2], right));
  b[3] = int(std::min<int64_t>(b[3], bottom));
  return true;
}

std::string viewer_title(const std::string& name, bool changed, float zoom) {
  std::string t = name;
  if (changed) t += " +";
  t += " (" + std::to_string(int(zoom * 100)) + "%) ";
  return t;
}

Scrollbar_need scrollbars_needed(int content_w, int content_h, int view_w, int view_h, int bar) {
  Scrollbar_need n;
  n.horizontal = content_w > view_w;
  n.vertical = content_h > view_h;
  // Twice: a bar added on one side can make the other necessary.
  for (int pass = 0; pass < 2; ++pass) {
    if (n.vertical && !n.horizontal) n.horizontal = content_w > view_w - bar;
    if (n.horizontal && !n.vertical) n.vertical = content_h > view_h - bar;
  }
  return n;
}

Screen_box full_screen_box(int win_w, int win_h, uint32_t iw, uint32_t ih) {
  Screen_box b;
  const double scale = std::min(
      1.0, double(fit_scale(uint32_t(std::max(win_w, 0)), uint32_t(std::max(win_h, 0)), iw, ih)));
  b.w = std::max(1, int(double(iw) * scale));
  b.h = std::max(1, int(double(ih) * scale));
  b.x = (win_w - b.w) / 2;
  b.y = (win_h - b.h) / 2;
  return b;
}

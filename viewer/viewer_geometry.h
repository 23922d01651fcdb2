// The viewer's sizes and rectangles as plain arithmetic: the window size for an image,
// the zoomed display size with its cap, the visible rectangle of a scrolled image and the
// selection in image pixels.
#pragma once
#include <cstdint>
#include <string>

/// Height of the viewer's menu bar.
constexpr int k_viewer_menu_height = 25;
/// Largest display side FLTK can draw (its coordinates are 16-bit).
constexpr int k_max_display_side = 32767;
/// Zoomed sides up to this are converted whole; larger ones only where visible.
constexpr int k_whole_image_limit = 3000;
/// Zoom never goes below this.
constexpr float k_min_zoom = 0.05f;

struct Window_size {
  int w = 0, h = 0;
};

/// The window for an image of iw x ih in a work area of work_w x work_h: the image scaled
/// down (never up) to fit, plus the menu bar; at most work_w - 11 wide and work_h - 30
/// high, a too tall window taking the width of the area's aspect. Empty images give the
/// menu bar's height and no width.
Window_size viewer_window_size(int work_w, int work_h, uint32_t iw, uint32_t ih);

/// Room kept above a viewer for the window manager's title bar; viewer_window_size leaves
/// it free in the height.
constexpr int k_viewer_title_room = 30;

struct Window_place {
  int x = 0, y = 0;
};

/// Where a new w x h viewer goes in the work area (work_x, work_y, work_w, work_h): centred,
/// with k_viewer_title_room above it counted as part of the window, never left of or above
/// the area. A window of viewer_window_size therefore lies inside the area, title and all.
Window_place viewer_window_place(int work_x, int work_y, int work_w, int work_h, int w, int h);

struct Display_size {
  int w = 1, h = 1;
  float zoom = 1.f;
};

/// (int)(iw * zoom) x (int)(ih * zoom), each at least 1, each side capped at 32767 with
/// the zoom lowered to match.
Display_size capped_display_size(uint32_t iw, uint32_t ih, float zoom);

/// Inclusive-exclusive image rectangle: columns x0 .. x1 - 1, rows y0 .. y1 - 1.
struct Image_rect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

/// The image pixels under a view of view_w x view_h scrolled by (scroll_x, scroll_y)
/// display pixels at the zoom, kept inside the image and never empty (the image must not
/// be empty).
Image_rect visible_image_rect(int scroll_x, int scroll_y, int view_w, int view_h, float zoom,
                              uint32_t iw, uint32_t ih);

/// Inclusive bounds in image pixels of the selection (x0, y0)-(x1, y1) given in window
/// coordinates, over an image box at (box_x, box_y) at the zoom; unclamped.
void selection_to_image_bounds(const int in[4], int box_x, int box_y, float zoom, int out[4]);

/// Brings inclusive bounds inside an image of iw x ih; false (bounds unchanged) when they
/// do not meet the image at all.
bool clamp_bounds_to_image(int bounds[4], uint32_t iw, uint32_t ih);

/// The window title: name, " +" when changed, then " (" + percent + "%) ".
std::string viewer_title(const std::string& name, bool changed, float zoom);

struct Scrollbar_need {
  bool vertical = false, horizontal = false;
};

/// Which scrollbars a scroll area of view_w x view_h needs for content of content_w x
/// content_h, with bars bar pixels thick (one bar narrows the room of the other).
Scrollbar_need scrollbars_needed(int content_w, int content_h, int view_w, int view_h, int bar);

/// Where the full-screen view shows an image of iw x ih in its window of win_w x win_h:
/// scaled down (never up) to fit, each side (int)(side * scale) but at least 1, centred.
struct Screen_box {
  int x = 0, y = 0, w = 1, h = 1;
};
Screen_box full_screen_box(int win_w, int win_h, uint32_t iw, uint32_t ih);

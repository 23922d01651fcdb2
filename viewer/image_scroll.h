// The viewer's scrolling image area. For a large zoomed image it converts only the part
// that is visible, again after every scrollbar move.
#pragma once
#include <FL/Fl_Scroll.H>

#include <cstdint>
#include <memory>

#include "viewer/viewer_geometry.h"

class Fl_RGB_Image;
class ImageDialogDrv;

class ImageScroll : public Fl_Scroll {
 public:
  ImageScroll(int x, int y, int w, int h);
  ~ImageScroll() override;

  /// Refuses every event while Ctrl is held, so Ctrl shortcuts reach the menu.
  int handle(int event) override;

  /// Converts the visible rectangle of the viewer's image at its zoom with the
  /// interpolation code (1 nearest, 3 linear, 5 B-spline) onto the viewer's second box.
  void update_view(int interpolation);

  void set_viewer(ImageDialogDrv* viewer) { m_viewer = viewer; }
  /// The image pixels last converted (columns x0 .. x1 - 1, rows y0 .. y1 - 1).
  const Image_rect& visible_rect() const { return m_visible; }
  int interpolation() const { return m_interpolation; }
  /// Frees the picture of the second box and its pixels.
  void free_picture();

 private:
  static void scrollbar_cb(Fl_Widget* bar, void* data);
  static void hscrollbar_cb(Fl_Widget* bar, void* data);
  void after_scroll();

  Image_rect m_visible;
  Fl_Callback* m_default_vcb = nullptr;
  void* m_default_vdata = nullptr;
  Fl_Callback* m_default_hcb = nullptr;
  void* m_default_hdata = nullptr;
  std::unique_ptr<uint8_t[]> m_pixels;
  Fl_RGB_Image* m_picture = nullptr;
  int m_interpolation = 1;
  ImageDialogDrv* m_viewer = nullptr;
};

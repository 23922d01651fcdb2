// The viewer's scroll area and its visible-rectangle display (see the header).
#include "viewer/image_scroll.h"

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>

#include <algorithm>

#include "core/display_convert.h"
#include "core/hdr_image.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/viewer_display.h"

ImageScroll::ImageScroll(int x, int y, int w, int h) : Fl_Scroll(x, y, w, h) {
  // The toolkit's own scrolling runs first, then the visible part is converted.
  m_default_vcb = scrollbar.callback();
  m_default_vdata = scrollbar.user_data();
  m_default_hcb = hscrollbar.callback();
  m_default_hdata = hscrollbar.user_data();
  scrollbar.callback(scrollbar_cb, this);
  hscrollbar.callback(hscrollbar_cb, this);
}

ImageScroll::~ImageScroll() {
  // The viewer is being taken apart around this widget: free the pixels only.
  m_viewer = nullptr;
  free_picture();
}

int ImageScroll::handle(int event) {
  if (Fl::event_state() & FL_CTRL) return 0;
  return Fl_Scroll::handle(event);
}

void ImageScroll::scrollbar_cb(Fl_Widget* bar, void* data) {
  auto* self = static_cast<ImageScroll*>(data);
  if (self->m_default_vcb) self->m_default_vcb(bar, self->m_default_vdata);
  self->after_scroll();
}

void ImageScroll::hscrollbar_cb(Fl_Widget* bar, void* data) {
  auto* self = static_cast<ImageScroll*>(data);
  if (self->m_default_hcb) self->m_default_hcb(bar, self->m_default_hdata);
  self->after_scroll();
}

void ImageScroll::after_scroll() {
  if (m_viewer && m_viewer->visible_box && m_viewer->visible_box->visible())
    update_view(m_interpolation);
}

void ImageScroll::free_picture() {
  if (m_viewer && m_viewer->visible_box) m_viewer->visible_box->image(nullptr);
  delete m_picture;
  m_picture = nullptr;
  m_pixels.reset();
}

void ImageScroll::update_view(int interpolation) {
  m_interpolation = interpolation;
  if (!m_viewer) return;
  const Hdr_image* image = m_viewer->get_image();
  if (!image || image->is_empty()) return;
  const float zoom = m_viewer->zoom_factor();

  m_visible = visible_image_rect(hscrollbar.value(), scrollbar.value(), w() - scrollbar.w(),
                                 h() - hscrollbar.h(), zoom, image->width(), image->height());

  ImageBoxDrv* box = m_viewer->visible_box;
  const int bw = std::max(1, scrollbar.x() - x()), bh = std::max(1, hscrollbar.y() - y());
  box->resize(x(), y(), bw, bh);

  Hdr_image part;
  static_cast<cimg_library::CImg<float>&>(part) =
      image->get_crop(m_visible.x0, m_visible.y0, m_visible.x1 - 1, m_visible.y1 - 1);
  part.type = image->type;
  Rgb8_image display;
  to_display_rgb8(part, display, image->type);
  resize_display_image(display, bw, bh, interpolation);

  free_picture();
  m_picture = make_picture(display, m_pixels);
  box->image(m_picture);
  redraw();
}

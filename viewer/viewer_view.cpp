// The viewer's display path: from the float image to the picture on the screen at the
// current zoom and exposure, whole or (for large zoomed images) only where visible, and
// the delayed redisplay after the window is resized.
#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>

#include <algorithm>

#include "core/busy_cursor.h"
#include "core/display_convert.h"
#include "core/geometry.h"
#include "core/hdr_image.h"
#include "core/preferences_dlg.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_scroll.h"
#include "viewer/resize_size.h"
#include "viewer/viewer_display.h"
#include "viewer/viewer_exposure.h"
#include "viewer/viewer_geometry.h"

namespace {

// Redisplay waits this long after the first of a run of window resizes.
constexpr double k_resize_delay = 0.3;

}  // namespace

void ImageDialogDrv::apply_first_display_exposure() {
  // A factor that would push values to infinity (or tiny ones to zero) is brought into
  // range, so what is saved later stays finite.
  const float factor = first_display_factor(*m_image);
  m_exposure = m_default_exposure = factor;
  if (factor != 1.f) scale_image(*m_image, factor);
}

void ImageDialogDrv::update_view() {
  if (!m_image || m_image->is_empty()) return;
  Action_scope running(*this);
  const uint32_t type = m_image->type;
  const bool hdr = is_hdr_type(type);
  const uint32_t iw = m_image->width(), ih = m_image->height();

  set_item_active("&Process/Tonemap...", hdr);
  set_item_active("&View/Exposure", hdr);
  set_item_active("&Tools/Calibrate...", hdr);

  if (m_zoom_mode == 1) {
    m_zoom = fit_scale_for_scroll(iw, ih);
    scroll->type(0);
    scroll->scrollbar.hide();
    scroll->hscrollbar.hide();
  } else {
    if (m_zoom_mode == 0) m_zoom = 1.f;
    scroll->type(Fl_Scroll::BOTH);
  }
  const Display_size size = capped_display_size(iw, ih, m_zoom);
  m_zoom = size.zoom;
  const int zw = size.w, zh = size.h;

  const int method = g_preferences_dialog ? g_preferences_dialog->resize_method() : -1;
  const int interpolation = resize_interpolation(method);

  update_title();

  if (hdr && !m_first_display_done) {
    m_first_display_done = true;
    apply_first_display_exposure();
  }

  // The bars the scroll area will show for this size (it decides only when it draws).
  Scrollbar_need bars;
  if (m_zoom_mode != 1) {
    const int thickness =
        scroll->scrollbar_size() ? scroll->scrollbar_size() : Fl::scrollbar_size();
    bars = scrollbars_needed(zw, zh, scroll->w(), scroll->h(), thickness);
  }
  const bool size_changed = image_box->w() != zw || image_box->h() != zh;
  image_box->size(zw, zh);
  if (size_changed || m_resize_pending) {
    int avail_w = scroll->w(), avail_h = scroll->h();
    if (bars.vertical) avail_w -= scroll->scrollbar.w();
    if (bars.horizontal) avail_h -= scroll->hscrollbar.h();
    image_box->position(scroll->x() + (avail_w - zw) / 2, scroll->y() + (avail_h - zh) / 2);
  }

  const bool both_bars = bars.vertical && bars.horizontal;
  if ((zw <= k_whole_image_limit && zh <= k_whole_image_limit) || !both_bars) {
    show_whole_image(zw, zh, interpolation);
    scroll->redraw();
    serve_events();
    end_resize_wait();
    return;
  }
  scroll->redraw();
  serve_events();
  // The pump may have run anything, even a new image: look again.
  if (!m_image || m_image->is_empty()) return;
  scroll->update_view(interpolation);
  visible_box->show();
  image_box->hide();
  free_display_picture();
  end_resize_wait();
}

void ImageDialogDrv::end_resize_wait() {
  Fl::remove_timeout(resize_timeout, this);
  m_resize_pending = false;
}

float ImageDialogDrv::fit_scale_for_scroll(uint32_t iw, uint32_t ih) const {
  return fit_scale(uint32_t(std::max(scroll->w(), 0)), uint32_t(std::max(scroll->h(), 0)), iw, ih);
}

void ImageDialogDrv::show_whole_image(int zw, int zh, int interpolation) {
  Rgb8_image& planar = m_display->planar;
  const uint64_t whole = uint64_t(m_image->width()) * m_image->height();
  if (interpolation == 1 && uint64_t(zw) * uint64_t(zh) < whole) {
    // Nearest only picks pixels, and the conversion is per pixel: picking first gives
    // the same bytes and converts only what is shown.
    Hdr_image picked;
    static_cast<cimg_library::CImg<float>&>(picked) = m_image->get_resize(zw, zh, -100, -100, 1);
    to_display_rgb8(picked, planar, m_image->type);
  } else {
    to_display_rgb8(*m_image, planar, m_image->type);
    resize_display_image(planar, zw, zh, interpolation);
  }

  image_box->show();
  visible_box->hide();
  visible_box->resize(image_box->x(), image_box->y(), 0, 0);
  scroll->free_picture();

  free_display_picture();
  m_display->picture = make_picture(planar, m_display->pixels);
  image_box->image(m_display->picture);
}

void ImageDialogDrv::resize(int x, int y, int w, int h) {
  const int old_w = this->w(), old_h = this->h();
  ImageDialog::resize(x, y, w, h);
  if (w == old_w && h == old_h) return;
  // set_image redisplays itself once the size is set.
  if (m_in_set_image) return;
  if (!m_resize_pending) {
    Fl::add_timeout(k_resize_delay, resize_timeout, this);
    m_resize_pending = true;
  }
}

void ImageDialogDrv::resize_timeout(void* viewer) {
  static_cast<ImageDialogDrv*>(viewer)->update_view();
}

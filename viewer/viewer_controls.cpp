// The viewer's interactive controls: exposure steps, zoom, the pixel readout that
// follows the pointer, the rubber-band selection and the click that starts calibration.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/browser_seam.h"
#include "core/busy_cursor.h"
#include "core/display_convert.h"
#include "core/hdr_image.h"
#include "core/luminance.h"
#include "core/messages.h"
#include "core/preferences_dlg.h"
#include "viewer/action_scopes.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_scroll.h"
#include "viewer/viewer_exposure.h"
#include "viewer/viewer_geometry.h"

namespace {

// One guard per action, shared by every viewer: a second call that arrives through the
// busy cursor's event pumping returns at once.
bool g_exposure_running = false;
bool g_zoom_running = false;

// Selection corners in window coordinates: the colour of its outline.
constexpr Fl_Color k_selection_colour = FL_DARK3;
// Zoom In and Zoom Out multiply the zoom by these.
constexpr float k_zoom_in = 1.25f, k_zoom_out = 0.8f;

}  // namespace

void ImageDialogDrv::selection_to_image(const int in[4], int out[4]) {
  selection_to_image_bounds(in, image_box->x(), image_box->y(), m_zoom, out);
}

void ImageDialogDrv::selection_to_box(const int in[4], int out[4]) {
  selection_to_image_bounds(in, image_box->x(), image_box->y(), 1.f, out);
}

void ImageDialogDrv::exposure(int step) {
  if (g_exposure_running || !m_image) return;
  Guard guard(g_exposure_running);
  Action_scope running(*this);
  Busy busy;
  if (!m_image) return;  // the pump may have run anything

  const int item = g_preferences_dialog ? g_preferences_dialog->exposure_steps() : -1;
  const float f = exposure_step_factor(item);
  float factor = 1.f;
  switch (step) {
    case 0:
      factor = f;
      break;
    case 1:
      factor = 1.f / f;
      break;
    case 2: {
      const int in[4] = {m_sel_x0, m_sel_y0, m_sel_x1, m_sel_y1};
      int b[4];
      selection_to_image(in, b);
      m_selection_shown = false;
      redraw();
      // A selection that no longer meets the image (after a zoom or a scroll) sets nothing.
      if (!clamp_bounds_to_image(b, m_image->width(), m_image->height())) return;
      Hdr_image part;
      static_cast<cimg_library::CImg<float>&>(part) = m_image->get_crop(b[0], b[1], b[2], b[3]);
      part.type = m_image->type;
      // A black region has no reference to map: its factor would be about 1e16.
      if (value_extent(part).max <= 0.f) return;
      factor = is_hdr_type(m_image->type) ? display_scale(part) : mean_exposure_scale(part);
      break;
    }
    case 3:
      factor = m_default_exposure / m_exposure;
      break;
    default:
      return;
  }
  // A step that would push values to infinity or to zero is skipped, so that saving
  // (which divides the exposure out) never meets inf or lost values.
  if (!exposure_factor_fits(factor, value_extent(*m_image))) return;
  const float exposure = m_exposure * factor;
  if (!std::isfinite(exposure) || !(exposure > 0.f)) return;
  m_exposure = exposure;
  if (factor != 1.f) {
    scale_image(*m_image, factor);
    update_view();
  }
}

void ImageDialogDrv::zoom(int mode) {
  if (g_zoom_running) return;
  Guard guard(g_zoom_running);
  Action_scope running(*this);
  Busy busy;
  m_zoom_mode = mode;
  if (mode == 2 || mode == 3) {
    set_zoom_radio(-1);
    m_zoom *= mode == 2 ? k_zoom_in : k_zoom_out;
  }
  m_zoom = std::max(k_min_zoom, m_zoom);
  update_view();
}

void ImageDialogDrv::pixel_info() {
  const Fl_Menu_Item* item = menu_item("&View/Pixel Info");
  m_pixel_info = item && item->value();
  if (m_pixel_info)
    pixel_group->show();
  else
    pixel_group->hide();
  redraw();
}

void ImageDialogDrv::calibrate() {
  show_message("Click on a pixel to begin calibration");
  m_calibrate_pending = true;
}

bool ImageDialogDrv::pointer_in_image_area() const {
  const int ex = Fl::event_x(), ey = Fl::event_y();
  if (!m_image || m_image->is_empty()) return false;
  return Fl::event_inside(image_box) && ex <= scroll->scrollbar.x() &&
         ey <= scroll->hscrollbar.y() && ey >= k_viewer_menu_height;
}

void ImageDialogDrv::image_pixel_under_pointer(int& ix, int& iy) const {
  ix = int((Fl::event_x() - image_box->x()) / m_zoom);
  iy = int((Fl::event_y() - image_box->y()) / m_zoom);
  // Rounding at the box's far edge must not reach past the image.
  ix = std::clamp(ix, 0, m_image->width() - 1);
  iy = std::clamp(iy, 0, m_image->height() - 1);
}

void ImageDialogDrv::update_readout() {
  int ix, iy;
  image_pixel_under_pointer(ix, iy);

  if (Fl::event_inside(pixel_frame)) {
    if (m_pixel_info_left) {
      pixel_group->position(w() + pixel_group->x() - pixel_frame->w(), pixel_group->y());
      m_pixel_info_left = false;
    } else {
      pixel_group->position(0, pixel_group->y());
      m_pixel_info_left = true;
    }
    redraw();
  }

  float px[3];
  get_pixel(ix, iy, px[0], px[1], px[2]);
  position_label->copy_label(readout_position_text(ix, iy).c_str());
  red_label->copy_label(readout_value_text("R", px[0], 4).c_str());
  green_label->copy_label(readout_value_text("G", px[1], 4).c_str());
  blue_label->copy_label(readout_value_text("B", px[2], 4).c_str());
  rgb_to_yxy(px);
  lum_label->copy_label(readout_value_text("L", px[0], 2).c_str());
  x_label->copy_label(readout_value_text("x", px[1], 2).c_str());
  y_label->copy_label(readout_value_text("y", px[2], 2).c_str());
  for (Fl_Widget* w :
       {static_cast<Fl_Widget*>(pixel_frame), static_cast<Fl_Widget*>(position_label),
        static_cast<Fl_Widget*>(red_label), static_cast<Fl_Widget*>(green_label),
        static_cast<Fl_Widget*>(blue_label), static_cast<Fl_Widget*>(lum_label),
        static_cast<Fl_Widget*>(x_label), static_cast<Fl_Widget*>(y_label)})
    w->redraw();
}

int ImageDialogDrv::handle(int event) {
  const bool in_image = pointer_in_image_area();
  if (in_image) {
    if (m_cursor != FL_CURSOR_CROSS) {
      m_cursor = FL_CURSOR_CROSS;
      cursor(m_cursor);
    }
  } else if (m_cursor != FL_CURSOR_DEFAULT) {
    m_cursor = FL_CURSOR_DEFAULT;
    cursor(m_cursor);
  }

  if (event == FL_FOCUS) resync_menu();

  if (in_image && m_pixel_info) update_readout();

  if (in_image && m_calibrate_pending && event == FL_PUSH) {
    m_calibrate_pending = false;
    int ix, iy;
    image_pixel_under_pointer(ix, iy);
    start_calibration(*this, ix, iy);
  }

  switch (event) {
    case FL_PUSH:
      if (Fl::event_y() > k_viewer_menu_height) {
        m_selection_shown = false;
        redraw();
      }
      break;
    case FL_RELEASE:
      m_drag_armed = true;
      break;
    case FL_DRAG:
      if (in_image) {
        const int ex = Fl::event_x(), ey = Fl::event_y();
        if (m_drag_armed) {
          m_sel_x0 = ex;
          m_sel_y0 = ey;
          m_drag_armed = false;
        }
        m_sel_x1 = ex;
        m_sel_y1 = ey;
        const Fl_Scrollbar& v = scroll->scrollbar;
        const Fl_Scrollbar& h = scroll->hscrollbar;
        if (Fl::event_inside(&v) || m_sel_x1 >= v.x() + v.w()) m_sel_x1 = v.x();
        if (Fl::event_inside(&h) || m_sel_y1 >= h.y() + h.h()) m_sel_y1 = h.y();
        m_selection_shown = true;
        redraw();
      }
      break;
    default:
      break;
  }
  return ImageDialog::handle(event);
}

void ImageDialogDrv::draw() {
  ImageDialog::draw();
  const bool shown = m_selection_shown;
  if (shown) {
    fl_color(k_selection_colour);
    fl_rect(std::min(m_sel_x0, m_sel_x1), std::min(m_sel_y0, m_sel_y1),
            std::abs(m_sel_x1 - m_sel_x0) + 1, std::abs(m_sel_y1 - m_sel_y0) + 1);
  }
  set_item_active("&Tools/Crop/Selection", shown);
  set_item_active("&View/Exposure/Selection", shown);
}

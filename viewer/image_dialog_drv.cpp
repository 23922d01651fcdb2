// The viewer's lifecycle, its state and the operations the rest of the program calls;
// the display path, the controls and the edits live in files of their own.
#include "viewer/image_dialog_drv.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_RGB_Image.H>

#include <algorithm>
#include <vector>

#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/file_names.h"
#include "core/guard.h"
#include "core/hdr_image.h"
#include "core/preferences_dlg.h"
#include "viewer/crop_dlg.h"
#include "viewer/fullscreen_dlg.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_scroll.h"
#include "viewer/viewer_display.h"
#include "viewer/viewer_geometry.h"

namespace {

int g_live_viewers = 0;

}  // namespace

ImageDialogDrv::ImageDialogDrv(int w, int h, const char* title)
    : ImageDialog(w, h, title), m_display(std::make_unique<Viewer_display>()) {
  ++g_live_viewers;
  scroll->set_viewer(this);
  delete_closed_viewers();
}

int ImageDialogDrv::live_count() { return g_live_viewers; }

ImageDialogDrv::~ImageDialogDrv() {
  --g_live_viewers;
  Fl::remove_timeout(resize_timeout, this);
  free_display_picture();
  scroll->free_picture();
  scroll->set_viewer(nullptr);
  // Deleted from outside the list (tests, program end): the list must not keep it.
  auto& list = g_closed_viewers;
  list.erase(std::remove(list.begin(), list.end(), static_cast<Fl_Window*>(this)), list.end());
}

void ImageDialogDrv::delete_closed_viewers() {
  // Taken out first: a destructor may build or close windows.
  std::vector<Fl_Window*> closed;
  closed.swap(g_closed_viewers);
  std::vector<Fl_Window*> kept;
  for (Fl_Window* w : closed) {
    // A viewer or full-screen view whose action is still running (inside an event pump)
    // returns into its own code after the pump: it waits for a later construction.
    auto* viewer = dynamic_cast<ImageDialogDrv*>(w);
    auto* full_screen = dynamic_cast<FullScreenDlg*>(w);
    if ((viewer && viewer->action_running()) || (full_screen && full_screen->action_running()))
      kept.push_back(w);
    else
      delete w;
  }
  g_closed_viewers.insert(g_closed_viewers.begin(), kept.begin(), kept.end());
}

void ImageDialogDrv::free_display_picture() {
  if (image_box) image_box->image(nullptr);
  if (m_display) m_display->free_picture();
}

void ImageDialogDrv::close_window() {
  Fl::remove_timeout(resize_timeout, this);
  m_resize_pending = false;
  hide();
  free_display_picture();
  scroll->free_picture();
  auto& list = g_closed_viewers;
  if (std::find(list.begin(), list.end(), static_cast<Fl_Window*>(this)) == list.end())
    list.push_back(this);
}

bool ImageDialogDrv::calibration_open() const {
  const auto& list = g_closed_viewers;
  return m_image && !m_image->is_empty() &&
         std::find(list.begin(), list.end(), static_cast<const Fl_Window*>(this)) == list.end();
}

void ImageDialogDrv::set_image(std::unique_ptr<Hdr_image> image, const std::string& path,
                               const std::string& name, const std::string& directory, int w,
                               int h) {
  Action_scope running(*this);
  m_image = std::move(image);
  m_path = path;
  m_name = name;
  m_directory = directory;

  const int open_as = g_preferences_dialog ? g_preferences_dialog->open_as() : -1;
  if (open_as == 0) {
    m_zoom_mode = 1;
  } else {
    m_zoom_mode = 0;
    set_zoom_radio(0);
  }

  // A new viewer is sized and placed inside the work area of the screen the pointer is on
  // (the one the full-screen view takes): left to the window manager, a large one may
  // hang off the screen's bottom.
  int x = this->x(), y = this->y();
  if (w == 0 || h == 0) {
    int mx = 0, my = 0;
    Fl::get_mouse(mx, my);
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_work_area(sx, sy, sw, sh, mx, my);
    const Window_size size =
        viewer_window_size(sw, sh, m_image ? m_image->width() : 0, m_image ? m_image->height() : 0);
    w = std::max(size.w, 1);
    h = size.h;
    const Window_place place = viewer_window_place(sx, sy, sw, sh, w, h);
    x = place.x;
    y = place.y;
  }

  if (grid_paths().size() < 2) {
    set_item_active("&View/Next Image", false);
    set_item_active("&View/Previous Image", false);
  }

  {
    Guard sizing(m_in_set_image);
    resize(x, y, w, h);
  }
  update_view();
}

uint32_t ImageDialogDrv::get_file_type() const {
  return m_image ? m_image->type : uint32_t(k_type_new_hdr);
}

void ImageDialogDrv::get_pixel(int x, int y, float& r, float& g, float& b) const {
  const Hdr_image& im = *m_image;
  const uint64_t i = uint64_t(y) * uint64_t(im.width()) + uint64_t(x);
  const uint64_t plane = im.plane_size();
  r = im.data()[i] / m_exposure;
  g = im.data()[i + plane] / m_exposure;
  b = im.data()[i + 2 * plane] / m_exposure;
}

void ImageDialogDrv::set_modified(uint32_t bits) {
  m_changes |= bits;
  set_item_active("&Image/&Save", m_changes != 0);
}

void ImageDialogDrv::clear_modified(uint32_t bits) {
  m_changes &= ~bits;
  set_item_active("&Image/&Save", m_changes != 0);
}

void ImageDialogDrv::selection(int out[4]) const {
  out[0] = m_sel_x0;
  out[1] = m_sel_y0;
  out[2] = m_sel_x1;
  out[3] = m_sel_y1;
}

Fl_Menu_Item* ImageDialogDrv::menu_item(const char* path) const {
  return const_cast<Fl_Menu_Item*>(menu_bar->find_item(path));
}

void ImageDialogDrv::set_item_active(const char* path, bool active) {
  if (Fl_Menu_Item* item = menu_item(path)) {
    if (active)
      item->activate();
    else
      item->deactivate();
  }
}

void ImageDialogDrv::set_zoom_radio(int mode) {
  Fl_Menu_Item* fit = menu_item("&View/Fit Window");
  Fl_Menu_Item* original = menu_item("&View/Original Size");
  if (!fit || !original) return;
  fit->clear();
  original->clear();
  if (mode == 1) fit->set();
  if (mode == 0) original->set();
}

void ImageDialogDrv::set_hdr_items(bool hdr) {
  set_item_active("&Process/Tonemap...", hdr);
  set_item_active("&View/Exposure", hdr);
  set_item_active("&Tools/Calibrate...", hdr);
  set_item_active("&View/Show on HDR Display", hdr);
}

void ImageDialogDrv::resync_menu() {
  set_zoom_radio(m_zoom_mode);
  if (Fl_Menu_Item* item = menu_item("&View/Pixel Info")) {
    if (m_pixel_info)
      item->set();
    else
      item->clear();
  }
  set_item_active("&Image/&Save", m_changes != 0);

  set_item_active("&View/Next Image", false);
  set_item_active("&View/Previous Image", false);
  const std::vector<std::string> paths = grid_paths();
  for (size_t i = 0; i < paths.size(); ++i) {
    if (paths[i] != m_path) continue;
    if (i + 1 < paths.size()) set_item_active("&View/Next Image", true);
    if (i > 0) set_item_active("&View/Previous Image", true);
  }

  set_item_active("&Edit/Undo", m_undo_available);
  set_item_active("&Edit/Redo", m_redo_available);
  set_hdr_items(is_hdr_type(get_file_type()));
}

void ImageDialogDrv::update_title() {
  copy_label(viewer_title(m_name, m_changes != 0, m_zoom).c_str());
}

void ImageDialogDrv::save_undo(uint32_t kind, int argument) {
  switch (kind) {
    case k_change_flipped:
    case k_change_rotated:
      // Undone by the opposite edit: an older copy would only hold memory.
      m_undo_image.reset();
      m_undo_kind = kind;
      m_undo_argument = argument;
      break;
    case k_change_resized:
    case k_change_cropped:
    case k_change_calibrated:
      // The copy keeps the exposure its pixels carry, so undo can bring it to the one
      // shown then (see exchange_undo_copy).
      if (m_image) {
        m_undo_image = std::make_unique<Hdr_image>(*m_image);
        m_undo_exposure = m_exposure;
      } else {
        m_undo_image.reset();
      }
      m_undo_kind = kind;
      m_undo_argument = argument;
      break;
    default:
      break;
  }
  m_undo_available = true;
  set_item_active("&Edit/Undo", true);
}

void ImageDialogDrv::after_save_as(const std::string& path) {
  mark_saved();
  if (m_closing_after_save) {
    close_window();
    return;
  }
  const std::string saved_from = m_path;
  const int step = m_step_after_save;
  m_step_after_save = k_no_step;
  m_path = path;
  split_path(path, m_directory, m_name);
  copy_label(m_name.c_str());
  // Next or Previous Image waited for this save: it moves on from the file it was on.
  if (step != k_no_step) step_to_neighbour(saved_from, step == k_step_forward);
}

void ImageDialogDrv::specify_crop_region() { open_crop_dialog(*this); }

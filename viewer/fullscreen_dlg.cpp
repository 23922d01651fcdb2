// The full-screen view (see the header).
#include "viewer/fullscreen_dlg.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_RGB_Image.H>

#include <algorithm>
#include <optional>
#include <vector>

#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/command_boundary.h"
#include "core/display_convert.h"
#include "core/file_names.h"
#include "core/hdr_image.h"
#include "viewer/action_scopes.h"
#include "viewer/neighbour_file.h"
#include "viewer/viewer_display.h"
#include "viewer/viewer_exposure.h"
#include "viewer/viewer_geometry.h"

namespace {

// '+' and '-' multiply and divide every value by this.
constexpr float k_exposure_key_factor = 1.5f;
// The image library's linear interpolation.
constexpr int k_linear = 3;

}  // namespace

FullScreenDlg::FullScreenDlg(std::unique_ptr<Hdr_image> image, const std::string& path,
                             const std::string& directory)
    : Fl_Double_Window(640, 480),
      m_image(std::move(image)),
      m_display(std::make_unique<Viewer_display>()),
      m_path(path),
      m_directory(directory) {
  m_box = new Fl_Box(FL_NO_BOX, 0, 0, 0, 0, nullptr);
  end();
  resizable(this);
  color(FL_BLACK);
  callback(close_cb);
  // The whole screen the pointer is on: with several screens, the one the user looks at.
  int mx = 0, my = 0;
  Fl::get_mouse(mx, my);
  int sx = 0, sy = 0, sw = 0, sh = 0;
  Fl::screen_xywh(sx, sy, sw, sh, mx, my);
  resize(sx, sy, sw, sh);
}

FullScreenDlg::~FullScreenDlg() {
  free_picture();
  // Deleted from outside the list (tests, program end): the list must not keep it.
  auto& list = g_closed_viewers;
  list.erase(std::remove(list.begin(), list.end(), static_cast<Fl_Window*>(this)), list.end());
}

void FullScreenDlg::close_cb(Fl_Widget* w, void*) {
  static_cast<FullScreenDlg*>(w)->close_window();
}

void FullScreenDlg::close_window() {
  m_closed = true;
  hide();
  free_picture();
  // The window may wait on the list for a long time (Next/Previous Image build no viewer):
  // its float copy and planar image go now. Nothing reads them once closed.
  m_image.reset();
  m_display->planar.assign();
  auto& list = g_closed_viewers;
  if (std::find(list.begin(), list.end(), static_cast<Fl_Window*>(this)) == list.end())
    list.push_back(this);
}

uint64_t FullScreenDlg::display_bytes() const {
  return m_display ? uint64_t(m_display->planar.size()) : 0;
}

void FullScreenDlg::free_picture() {
  if (m_box) m_box->image(nullptr);
  if (m_display) m_display->free_picture();
}

bool FullScreenDlg::show_picture() {
  if (!m_image || m_image->is_empty()) return false;
  to_display_rgb8(*m_image, m_display->planar, m_image->type);
  free_picture();
  m_display->picture = make_picture(m_display->planar, m_display->pixels);
  m_box->image(m_display->picture);
  return true;
}

void FullScreenDlg::fit_and_show() {
  if (m_closed || !m_image || m_image->is_empty()) return;
  Action_scope running(*this);
  // No room for the fitted copy: nothing to show.
  const bool fitted = Command().on_failure([this] { close_window(); }).run([&] {
    const Screen_box b = full_screen_box(w(), h(), m_image->width(), m_image->height());
    if (b.w != m_image->width() || b.h != m_image->height()) {
      // The view's own copy: later steps and exposure keys work on the fitted pixels.
      m_image->resize(b.w, b.h, -100, -100, k_linear);
      m_image->stats = Image_stats{};
    }
    m_box->resize(b.x, b.y, b.w, b.h);
  });
  if (fitted) redisplay();
}

void FullScreenDlg::redisplay() {
  if (m_closed) return;
  Action_scope running(*this);
  if (!Command().on_failure([this] { close_window(); }).run([this] { show_picture(); })) return;
  redraw();
  serve_events();
}

void FullScreenDlg::change_exposure(bool brighter) {
  if (!m_image || m_image->is_empty()) return;
  // A step that would push values to infinity (or tiny ones to zero) could not be taken
  // back by the opposite key: it is skipped.
  const float factor = brighter ? k_exposure_key_factor : 1.f / k_exposure_key_factor;
  if (!exposure_factor_fits(factor, value_extent(*m_image))) return;
  if (brighter)
    *m_image *= k_exposure_key_factor;
  else
    *m_image /= k_exposure_key_factor;
  m_image->stats = Image_stats{};
  redisplay();
}

int FullScreenDlg::handle(int event) {
  Action_scope running(*this);
  if (event == FL_KEYDOWN) {
    switch (Fl::event_key()) {
      case FL_Right:
        step_image(1);
        return 1;
      case FL_Left:
        step_image(0);
        return 1;
      default:
        break;
    }
    const char* text = Fl::event_text();
    const char c = text && *text ? text[0] : ' ';
    if (c == '+')
      change_exposure(true);
    else if (c == '-')
      change_exposure(false);
  }
  // Escape comes back from the window's handling as its callback: close_window.
  return Fl_Double_Window::handle(event);
}

void FullScreenDlg::step_image(int forward) {
  if (m_stepping || m_closed || !m_image) return;
  const std::vector<std::string> paths = grid_paths();
  if (paths.size() < 2) return;
  const std::optional<size_t> index = neighbour_index(paths, m_path, forward != 0);
  if (!index) return;
  const std::string path = paths[*index];
  Action_scope running(*this);
  Guard stepping(m_stepping);

  Busy busy;
  // The new file is read before the old image is given up, so a file that cannot be read
  // leaves the view as it was. The reader's text names the file; any other failure is
  // given the path.
  std::unique_ptr<Hdr_image> image;
  const bool read = Command().fallback("Cannot read image file: " + path).naming(path).run([&] {
    image = std::make_unique<Hdr_image>(path);
    // Its own first display, as a viewer would show it; 8-bit images as they are.
    if (is_hdr_type(image->type)) scale_image(*image, first_display_factor(*image));
  });
  // Closed while the file was read (the reader and the cursor serve events).
  if (read && !m_closed) {
    m_image = std::move(image);
    m_path = path;
    std::string name;
    split_path(path, m_directory, name);
    fit_and_show();
  }
}

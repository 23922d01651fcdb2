// The grid's tiles: the folder scan, the layout, refreshes after a file was written, and
// taking tiles out. Mouse handling and the menus are in icon_view_mouse.cpp.
#include "browser/icon_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/filename.H>

#include <algorithm>
#include <optional>

#include "browser/browser_answers.h"
#include "browser/icon.h"
#include "browser/icon_types.h"
#include "core/busy_cursor.h"
#include "core/event_pump.h"
#include "core/file_names.h"
#include "core/guard.h"
#include "core/preferences_dlg.h"
#include "core/status_progress.h"

Icon_view* g_icon_view = nullptr;

namespace {

// One grid, one scan at a time: these outlive any single call of load_directory.
bool s_scan_running = false;
bool s_scan_abort = false;
std::string s_pending_folder;

// Marks a scan as running from its first step; both flags are cleared on every way out.
struct Scan_flag {
  ~Scan_flag() { s_scan_abort = false; }
  Guard running{s_scan_running};
};

float thumbnail_scale() {
  return g_preferences_dialog ? g_preferences_dialog->thumbnail_scale() : 1.0f;
}

}  // namespace

Busy_tiles::Busy_tiles(Icon_view& view) : m_view(&view) { ++view.m_busy; }

Busy_tiles::~Busy_tiles() {
  if (m_view.deleted()) return;
  Icon_view& view = *static_cast<Icon_view*>(m_view.widget());
  if (--view.m_busy == 0) view.free_removed_tiles();
}

Icon_view::Icon_view(int x, int y, int w, int h) : Fl_Scroll(x, y, w, h) {
  m_popup = [](const Fl_Menu_Item* menu, int mx, int my) { return menu->popup(mx, my); };
  end();
}

Icon_view::~Icon_view() {
  Fl::remove_timeout(cb_deferred_scan, this);
  for (Icon* tile : m_removed) delete tile;
  m_removed.clear();
  if (g_icon_view == this) g_icon_view = nullptr;
}

bool Icon_view::scan_running() { return s_scan_running; }

Grid_geometry Icon_view::geometry() const {
  Grid_geometry g;
  g.tile_w = tile_w;
  g.tile_h = tile_h;
  g.gap = gap;
  g.label_size = label_size;
  g.scale = scale;
  return g;
}

void Icon_view::set_geometry(const Grid_geometry& g) {
  tile_w = g.tile_w;
  tile_h = g.tile_h;
  gap = g.gap;
  label_size = g.label_size;
  scale = g.scale;
}

void Icon_view::load_directory(std::string folder) {
  if (s_scan_running) {
    // The running scan takes the newest request up after its current tile.
    s_scan_abort = true;
    s_pending_folder = folder;
    return;
  }
  if (m_busy > 0) {
    // A refresh is making a thumbnail inside an event: its tile must outlive it.
    s_pending_folder = folder;
    Fl::remove_timeout(cb_deferred_scan, this);
    Fl::add_timeout(0.0, cb_deferred_scan, this);
    return;
  }
  Scan_flag running;
  for (;;) {
    set_busy_cursor(FL_CURSOR_WAIT);
    if (!s_scan_abort && scan_once(folder)) {
      update_menus();
      set_busy_cursor(FL_CURSOR_DEFAULT);
    }
    // Also a request made while the cursor was reset is taken up here.
    if (!s_scan_abort) break;
    s_scan_abort = false;
    folder = s_pending_folder;
  }
}

void Icon_view::cb_deferred_scan(void* view) {
  const std::string folder = s_pending_folder;
  static_cast<Icon_view*>(view)->load_directory(folder);
}

bool Icon_view::scan_once(const std::string& folder) {
  m_folder = folder;
  set_geometry(grid_geometry(thumbnail_scale()));
  clear_tiles();
  redraw();

  std::vector<std::string> names;
  dirent** list = nullptr;
  const int count = fl_filename_list(folder.c_str(), &list, fl_numericsort);
  for (int i = 0; i < count; ++i) names.emplace_back(list[i]->d_name);
  if (count > 0) fl_filename_free_list(&list, count);
  for (size_t i = 0; i < names.size() && !s_scan_abort; ++i) pump_events();
  if (s_scan_abort) return false;

  {
    // end() would leave the grid's parent current: whatever was current stays so.
    Fl_Group* const current = Fl_Group::current();
    begin();
    top_spacer = new Fl_Box(x() + 4, y() + 4, gap, gap);
    bottom_spacer = new Fl_Box(x() + 4, y() + 4, gap, gap);
    top_spacer->box(FL_NO_BOX);
    bottom_spacer->box(FL_NO_BOX);
    end();
    Fl_Group::current(current);
  }

  // Shown while a non-empty folder is scanned, over the tiles made of it; hidden however
  // the pass ends (a newer folder's pass shows it again).
  std::optional<Status_progress> progress;
  if (!names.empty()) {
    progress.emplace(int(names.size()), "Scanning...");
    pump_events();
    if (s_scan_abort) return false;
    for (const std::string& name : names) create_icon(name, folder);
    progress->range(int(icons.size()));
  }
  arrange();
  redraw();
  load_pending_thumbnails(progress ? &*progress : nullptr);
  return !s_scan_abort;
}

void Icon_view::load_pending_thumbnails(Status_progress* progress) {
  Busy_tiles busy(*this);
  size_t i = 0;
  for (;;) {
    if (progress)
      progress->step(int(i));
    else
      pump_events();
    // Tiles may have been taken out or added during the pump: the tiles asked for form a
    // prefix of icons (refreshed tiles at the end were asked for too).
    i = std::min(i, icons.size());
    while (i > 0 && !icons[i - 1]->thumbnail_requested()) --i;
    while (i < icons.size() && icons[i]->thumbnail_requested()) ++i;
    if (i >= icons.size()) return;
    Icon* tile = icons[i];
    tile->set_thumbnail_requested();
    tile->load_thumbnail();
    if (scale != 1.0f) tile->scale_thumbnail(scale);
    ++i;
    if (s_scan_abort) return;
  }
}

void Icon_view::clear_tiles() {
  icons.clear();
  clear_selection();
  anchor = 0;
  clicked = 0;
  band_pending = true;
  band_visible = false;
  free_removed_tiles();
  Fl_Scroll::clear();
  top_spacer = bottom_spacer = nullptr;
}

Icon* Icon_view::create_icon(const std::string& name, const std::string& folder) {
  Fl_Group* const current = Fl_Group::current();
  begin();
  Icon* tile = make_icon_for_name(name, folder);
  end();
  Fl_Group::current(current);
  if (!tile) return nullptr;
  if (!tile->readable) {
    remove(tile);
    Fl::delete_widget(tile);
    return nullptr;
  }
  icons.push_back(tile);
  return tile;
}

Icon* Icon_view::find_icon(const std::string& name, const std::string& folder) const {
  for (Icon* tile : icons)
    if (tile->name == name && tile->folder == folder) return tile;
  return nullptr;
}

bool Icon_view::is_in_shown_folder(const std::string& path) const {
  std::string folder, name;
  split_path(path, folder, name);
  // A grid without a folder list (tests build one alone) shows the folder it scanned.
  return folder == shown_folder_or(m_folder);
}

void Icon_view::refresh_file(const std::string& path) {
  if (!is_in_shown_folder(path)) return;
  add_file(path);
  arrange();
  redraw();
}

void Icon_view::add_file(const std::string& path) {
  std::string folder, name;
  split_path(path, folder, name);
  update_icon(name, folder);
}

void Icon_view::update_icon(const std::string& name, const std::string& folder) {
  Icon* tile = find_icon(name, folder);
  const bool added = !tile;
  if (!tile) tile = create_icon(name, folder);
  if (!tile) return;
  // The status count and the menus follow the new tile as they follow a removed one.
  if (added) update_menus();
  Busy_tiles busy(*this);
  tile->set_thumbnail_requested();
  tile->load_thumbnail();
  if (scale != 1.0f) tile->scale_thumbnail(scale);
}

void Icon_view::forget_tile(Icon* tile) {
  icons.erase(std::remove(icons.begin(), icons.end(), tile), icons.end());
  selection.erase(std::remove(selection.begin(), selection.end(), tile), selection.end());
  remove(tile);
  const int last = int(icons.size()) - 1;
  anchor = std::clamp(anchor, 0, std::max(0, last));
  clicked = std::min(clicked, last);
}

void Icon_view::remove_icon(Icon* tile) {
  if (!tile || std::find(icons.begin(), icons.end(), tile) == icons.end()) return;
  forget_tile(tile);
  tile->hide();
  if (m_busy > 0)
    m_removed.push_back(tile);
  else
    Fl::delete_widget(tile);
  update_menus();
  redraw();
}

void Icon_view::remove_file(const std::string& path) {
  std::string folder, name;
  split_path(path, folder, name);
  remove_icon(find_icon(name, folder));
}

void Icon_view::free_removed_tiles() {
  for (Icon* tile : m_removed) Fl::delete_widget(tile);
  m_removed.clear();
}

void Icon_view::arrange() {
  if (icons.empty()) return;
  const Grid_geometry g = geometry();
  for (Icon* tile : icons) {
    tile->set_size(tile_w, tile_h);
    tile->set_label_size(label_size);
  }
  const int columns = grid_columns(icons.size(), x(), y(), w(), yposition(), g);
  int right = x(), last_y = y();
  for (size_t i = 0; i < icons.size(); ++i) {
    int tx = 0, ty = 0;
    tile_position(i, columns, x(), y(), yposition(), g, tx, ty);
    icons[i]->place(tx, ty);
    right = std::max(right, tx);
    last_y = ty;
  }
  if (bottom_spacer) bottom_spacer->position(right + tile_w, last_y + tile_h);
}

void Icon_view::resize(int x, int y, int w, int h) {
  scroll_to(0, 0);
  Fl_Scroll::resize(x, y, w, h);
  arrange();
  redraw();
}

// The thumbnail grid: one tile per supported, readable image file of the shown folder,
// laid out in rows; mouse and keyboard selection kept in click order; the main menu and
// the status text follow the selection. A folder scan fills it on the GUI thread, pumping
// events per tile and restarting on the newest folder when the folder changes meanwhile.
#pragma once
#include <FL/Fl.H>
#include <FL/Fl_Scroll.H>

#include <functional>
#include <string>
#include <vector>

#include "browser/grid_layout.h"

class Fl_Box;
class Icon;
class Icon_view;
class Status_progress;
struct Fl_Menu_Item;

/// While one is alive, tiles taken out of the grid are kept (hidden) and freed only when
/// the last one ends: an event handler or a thumbnail load (the RGBE reader pumps events)
/// may still be using them. The grid may be deleted first (its window closed during a
/// job's events): it then frees the kept tiles itself.
class Busy_tiles {
 public:
  explicit Busy_tiles(Icon_view& view);
  ~Busy_tiles();
  Busy_tiles(const Busy_tiles&) = delete;
  Busy_tiles& operator=(const Busy_tiles&) = delete;

 private:
  Fl_Widget_Tracker m_view;
};

class Icon_view : public Fl_Scroll {
 public:
  /// Picks an item of a popup menu shown at the mouse; the default is
  /// Fl_Menu_Item::popup. Tests install their own.
  using Popup_fn = std::function<const Fl_Menu_Item*(const Fl_Menu_Item* menu, int x, int y)>;

  Icon_view(int x, int y, int w, int h);
  ~Icon_view() override;

  void draw() override;
  int handle(int event) override;
  void resize(int x, int y, int w, int h) override;

  /// Scans folder (ending in '/') into tiles: generic pictures first, thumbnails after.
  /// A request made while a scan runs is remembered (the newest wins) and taken up once
  /// the running scan has finished its current tile.
  void load_directory(std::string folder);
  /// After a file was written: makes or updates its tile when it lies in the shown folder.
  void refresh_file(const std::string& path);
  /// Makes or updates the tile of path (split at its last '/').
  void add_file(const std::string& path);
  /// The tile of that name and folder (new when there is none) gets its thumbnail.
  void update_icon(const std::string& name, const std::string& folder);
  /// The first tile whose name and folder are exactly these, or null.
  Icon* find_icon(const std::string& name, const std::string& folder) const;
  /// A readable tile of the class chosen by the name's extension, appended to icons; null
  /// for unsupported or unreadable files.
  Icon* create_icon(const std::string& name, const std::string& folder);
  /// True when the folder part of path is the folder list's current folder.
  bool is_in_shown_folder(const std::string& path) const;
  /// Takes the tile out of the grid, icons and the selection and frees it (later, while
  /// an event or a thumbnail load may still use it): callers must not delete it. The
  /// anchor is kept in range; the menus follow.
  void remove_icon(Icon* tile);
  /// remove_icon for the tile of path.
  void remove_file(const std::string& path);
  void arrange();

  void select_all();
  void deselect_all();
  void invert_selection();
  void update_menus();
  /// Index in icons of the first tile containing the mouse, or -1.
  int tile_at_mouse() const;
  void add_to_selection(Icon* tile);
  void select_range();
  void select_in_rectangle();
  void popup_menu();

  void set_popup(Popup_fn popup) { m_popup = std::move(popup); }
  /// True while a scan runs (from its first step to its end).
  static bool scan_running();
  /// The folder of the last scan (ending in '/').
  const std::string& shown_folder() const { return m_folder; }

  std::vector<Icon*> icons;      // scan order, then tiles added by refreshes
  std::vector<Icon*> selection;  // click order, each tile once
  static constexpr int base_tile_w = 128, base_tile_h = 128, base_gap = 30, base_label_size = 12;
  // The current geometry: the base values until the first scan, then from the scale.
  int tile_w = base_tile_w, tile_h = base_tile_h, gap = base_gap, label_size = base_label_size;
  float scale = 1.0f;
  int clicked = 0;
  int anchor = 0;
  Fl_Box* top_spacer = nullptr;
  Fl_Box* bottom_spacer = nullptr;
  bool band_pending = true, band_visible = false;
  int band_x0 = 0, band_x1 = 0, band_y0 = 0, band_y1 = 0;

 private:
  friend class Busy_tiles;
  /// One pass of the scan; returns false when a newer folder was requested meanwhile.
  bool scan_once(const std::string& folder);
  /// Loads the thumbnails not yet asked for, stepping progress (when shown) per tile.
  void load_pending_thumbnails(Status_progress* progress);
  void clear_tiles();
  void clear_selection();
  Grid_geometry geometry() const;
  void set_geometry(const Grid_geometry& g);
  void forget_tile(Icon* tile);
  void free_removed_tiles();
  bool in_scrollbar() const;
  static void cb_deferred_scan(void* view);

  Popup_fn m_popup;
  std::string m_folder;
  int m_busy = 0;                // events or thumbnail loads using the tiles now
  std::vector<Icon*> m_removed;  // taken out while busy; freed when no longer in use
};

/// The browser's thumbnail grid, set by the main window's builder.
extern Icon_view* g_icon_view;

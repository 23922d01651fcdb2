// The folder list: the browser's current folder, its sub-folders, the visit log behind
// Back and Forward, and the recent folders under "&File/Recent Directories".
#pragma once
#include <FL/Fl_File_Browser.H>

#include <functional>
#include <list>
#include <string>

#include "browser/dir_history.h"

class Fl_Input;
class Fl_Menu_;
class Fl_Preferences;
class Fl_Widget;

class Dir_view : public Fl_File_Browser {
 public:
  /// Runs the thumbnail scan of a folder (normal form) and redraws the grid.
  using Scan_fn = std::function<void(const std::string& folder)>;

  /// Lists folders only, sorted with fl_numericsort. Nothing is shown or read yet.
  Dir_view(int x, int y, int w, int h);
  /// Stores nothing: the browser state is written by save_state (Quit), so that no other
  /// destruction can overwrite it.
  ~Dir_view() override;

  int handle(int event) override;

  /// Wiring by the main window: the main menu bar (items are found by path on it; the
  /// recent folders fill its "&File/Recent Directories"), the location field written after
  /// each change of folder while "&View/Synchronize Location" is on, and the scan.
  /// Any of them may be null. Without a menu, hidden folders stay hidden and the location
  /// is synchronised.
  void attach(Fl_Menu_* menu, Fl_Input* location);
  void set_scan(Scan_fn scan) { m_scan = std::move(scan); }

  /// Adds the stored recent folders (oldest first) and activates the submenu if any.
  void read_recent(Fl_Preferences& root);
  /// Goes to the stored last folder, when one is stored (scan and history on); returns
  /// whether one was.
  bool restore_last_folder(Fl_Preferences& root);
  /// Stores the current folder and the recent folders.
  void save_state(Fl_Preferences& root) const;

  /// Lists the sub-folders of folder (taken as it is) and makes it current_dir; hides
  /// names beginning with '.' (but "../") unless "&View/Show Hidden Folders" is checked.
  /// Returns the number of entries FLTK listed less those hidden.
  int load(const std::string& folder);
  /// Makes folder (brought to normal form) current: lists it, scans it when scan is set,
  /// appends it to the visit log when record is set, and updates the menu states.
  void go_to(std::string folder, bool scan, bool record);
  /// Enters folder (normal form) in the recent folders; current_dir does not change.
  void add_recent_folder(const std::string& folder);

  void go_backward();
  void go_forward();
  /// The parent of current_dir, entered in the recent folders; nothing while no folder is
  /// shown.
  void go_up();
  /// Lists and scans current_dir again; the "Refresh" menu item records it in the visit
  /// log, the button does not.
  void refresh(bool record);
  /// Enters the selected line (double click): "../" goes to the parent.
  void open_selected();
  /// Remembers the selected line (single click) in selected_dir.
  void select_line();
  /// Callback of every recent-folder menu item; view is the Dir_view.
  static void open_recent(Fl_Widget* menu, void* view);

  /// The current folder in normal form (ending in '/'); empty until one is shown.
  const std::string& current_dir() const { return m_current; }
  /// current_dir followed by the line last clicked once; empty after a change of folder.
  const std::string& selected_dir() const { return m_selected; }
  const Dir_history& history() const { return m_history; }
  const Recent_dirs& recent_dirs() const { return m_recent; }

 private:
  void set_item_active(const char* path, bool active);
  bool toggle_on(const char* path, bool fallback) const;
  void update_history_items();
  void rebuild_recent_menu();
  void forget_menu();

  std::string m_current;
  std::string m_listed;  // FLTK keeps a pointer to the folder it lists
  std::string m_selected;
  Dir_history m_history;
  Recent_dirs m_recent;
  Fl_Widget* m_menu_widget = nullptr;  // cleared by FLTK when the menu is deleted
  Fl_Input* m_location = nullptr;
  Scan_fn m_scan;
  std::list<std::string> m_menu_labels;  // texts of the recent-folder items
};

/// The browser's folder list, set by the main window's builder.
extern Dir_view* g_dir_view;

// A menu bar holding the main-menu items the folder list drives, for window tests that
// run without the main window.
#pragma once
#include <FL/Fl_Menu_Bar.H>

#include <string>
#include <vector>

/// A menu bar with "&File" (New Directory..., Delete Directory, the empty "Recent
/// Directories" submenu, &Quit) and "&View" (Go Backward, Go Up, Go Forward, Refresh,
/// Synchronize Location checked, Show Hidden Folders), inactive as at start.
class Folder_menu : public Fl_Menu_Bar {
 public:
  Folder_menu();
  /// Whether the item at path exists and is active.
  bool active(const char* path);
  /// Sets or clears a toggle's check mark.
  void check(const char* path, bool on);
  /// Labels of the items in "&File/Recent Directories", in menu order.
  std::vector<std::string> recent_labels() const;
  /// The item of "&File/Recent Directories" at place i (0 first).
  const Fl_Menu_Item* recent_item(int i) const;
};

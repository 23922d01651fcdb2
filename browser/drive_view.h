// The drive list above the folder list: mounted file systems and the user's desktop and
// documents folders, each with an icon for its kind. A double click goes there.
#pragma once
#include <FL/Fl_File_Browser.H>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "browser/drive_list.h"

class Dir_view;
class Fl_File_Icon;

class Drive_view : public Fl_File_Browser {
 public:
  /// Filled once from the running system; drives mounted later appear at the next start.
  Drive_view(int x, int y, int w, int h);
  ~Drive_view() override;

  /// Replaces the lines with entries, in order.
  void fill(const std::vector<Drive_entry>& entries);

  /// After the browser's own handling, a double click on a line goes to its folder.
  int handle(int event) override;

  /// Goes to the folder of the selected line on the folder list, entering it in the
  /// recent folders. Nothing when no line is selected.
  void select();
  using Fl_File_Browser::select;

  /// The folder of a line's label; empty for a label not listed.
  std::string folder_of(const std::string& label) const;

  /// The folder list to drive; g_dir_view when none is set.
  void set_target(Dir_view* view) { m_target = view; }

 private:
  std::map<std::string, std::string> m_folders;        // label -> folder
  std::vector<std::unique_ptr<Fl_File_Icon>> m_icons;  // one per line
  Dir_view* m_target = nullptr;
};

/// The main window's drive list, set by its builder.
extern Drive_view* g_drive_view;

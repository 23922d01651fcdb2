// What the batch file commands need from the browser, and what they copy out of a
// selected tile before they serve any event (a tile may be gone afterwards).
#pragma once
#include <string>

#include "core/selected_file.h"

/// The thumbnail grid and the status-bar progress bar, as seen by paste, rotate and flip.
/// Every tile is named by its file's path, so nothing here keeps a tile across events.
/// The defaults do nothing (no grid shown).
class File_command_view {
 public:
  virtual ~File_command_view() = default;
  /// Progress bar: range 0..count with the label, the busy cursor on, the bar shown.
  virtual void begin_progress(int count, const char* label) { (void)count, (void)label; }
  /// Progress value index, then serve pending events.
  virtual void step_progress(int index) { (void)index; }
  /// Bar hidden, busy cursor off.
  virtual void end_progress() {}
  /// Whether the file's folder is the one shown in the grid.
  virtual bool is_in_shown_folder(const std::string& path) const {
    (void)path;
    return false;
  }
  /// A file was written into the shown folder: make or reload its tile.
  virtual void file_added(const std::string& path) { (void)path; }
  /// A file of the shown folder is gone: take its tile out.
  virtual void file_removed(const std::string& path) { (void)path; }
  /// The file was turned (degrees) or mirrored (axis) in place: update its tile.
  virtual void file_rotated(const std::string& path, int degrees) { (void)path, (void)degrees; }
  virtual void file_flipped(const std::string& path, char axis) { (void)path, (void)axis; }
};

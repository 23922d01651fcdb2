// A stand-in for the browser in file-command tests: records progress and tile changes,
// and treats one folder as the shown one.
#pragma once
#include <string>
#include <vector>

#include "browser/file_command_view.h"

class File_view_recorder : public File_command_view {
 public:
  explicit File_view_recorder(std::string shown_folder = {}) : shown(std::move(shown_folder)) {}

  void begin_progress(int count, const char* label) override;
  void step_progress(int index) override;
  void end_progress() override { events.push_back("end"); }
  bool is_in_shown_folder(const std::string& path) const override;
  void file_added(const std::string& path) override { events.push_back("added " + path); }
  void file_removed(const std::string& path) override { events.push_back("removed " + path); }
  void file_rotated(const std::string& path, int degrees) override;
  void file_flipped(const std::string& path, char axis) override;

  /// Runs before the step with that index (0-based), as events served there would.
  std::vector<std::pair<int, void (*)(void*)>> on_step;
  void* step_data = nullptr;

  std::string shown;                // folder taken as shown in the grid ("" none)
  std::vector<std::string> events;  // "begin 3 Copying...", "step 0", "added <path>", ...
};

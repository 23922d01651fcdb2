#include "tests/support/file_view_recorder.h"

#include "core/file_names.h"

void File_view_recorder::begin_progress(int count, const char* label) {
  events.push_back("begin " + std::to_string(count) + " " + (label ? label : ""));
}

void File_view_recorder::step_progress(int index) {
  events.push_back("step " + std::to_string(index));
  for (const auto& hook : on_step)
    if (hook.first == index) hook.second(step_data);
}

bool File_view_recorder::is_in_shown_folder(const std::string& path) const {
  std::string folder, name;
  split_path(path, folder, name);
  return !shown.empty() && folder == shown;
}

void File_view_recorder::file_rotated(const std::string& path, int degrees) {
  events.push_back("rotated " + std::to_string(degrees) + " " + path);
}

void File_view_recorder::file_flipped(const std::string& path, char axis) {
  events.push_back(std::string("flipped ") + axis + " " + path);
}

// Reading and writing the browser state through the preferences store.
#include "browser/browser_state.h"

#include <FL/Fl_Preferences.H>

#include <cstdlib>
#include <memory>

#include "browser/dir_history.h"

namespace {

constexpr const char* k_empty_slot = "_____";

// The allocating form of get, so no stored path is cut to a buffer.
std::string get_string(Fl_Preferences& group, const char* key) {
  char* raw = nullptr;
  group.get(key, raw, k_empty_slot);
  std::unique_ptr<char, decltype(&std::free)> owned(raw, &std::free);
  return raw ? std::string(raw) : std::string(k_empty_slot);
}

std::string recent_key(std::size_t index) { return "Directory" + std::to_string(index); }

}  // namespace

std::vector<std::string> read_recent_dirs(Fl_Preferences& root) {
  Fl_Preferences group(root, "RecentDirs");
  std::vector<std::string> dirs;
  for (std::size_t i = 0; i < Recent_dirs::max_recent; ++i) {
    std::string value = get_string(group, recent_key(i).c_str());
    if (value != k_empty_slot) dirs.push_back(std::move(value));
  }
  return dirs;
}

std::optional<std::string> read_last_folder(Fl_Preferences& root) {
  Fl_Preferences group(root, "LastVisitedDir");
  std::string value = get_string(group, "LVD");
  if (value == k_empty_slot) return std::nullopt;
  return value;
}

void write_browser_state(Fl_Preferences& root, const std::string& current,
                         const std::vector<std::string>& recent) {
  {
    Fl_Preferences group(root, "LastVisitedDir");
    group.set("LVD", current.c_str());
  }
  Fl_Preferences group(root, "RecentDirs");
  for (std::size_t i = 0; i < recent.size(); ++i)
    group.set(recent_key(i).c_str(), recent[i].c_str());
}

#include "core/preferences.h"

#include <algorithm>
#include <vector>

#include "core/platform.h"

Preferences* g_preferences = nullptr;

std::string checked_user_data_path(const std::function<bool(char*, int)>& get_path,
                                   const std::string& vendor, const std::string& application,
                                   int max_size, int first_size) {
  const std::string tail = "/" + vendor + "/" + application + "/";
  // The file path is the folder without its '/' plus ".prefs": 5 characters longer.
  const std::size_t file_extra = 5;
  for (int size = std::max(first_size, 16); size <= max_size; size *= 2) {
    std::vector<char> buffer(static_cast<std::size_t>(size), '\0');
    if (!get_path(buffer.data(), size)) continue;
    buffer.back() = '\0';
    const std::string path(buffer.data());
    const bool whole = path.size() + file_extra <= static_cast<std::size_t>(size) - 1;
    if (whole && path.size() >= tail.size() &&
        path.compare(path.size() - tail.size(), tail.size(), tail) == 0)
      return path;
  }
  return {};
}

std::string user_data_folder(Fl_Preferences& root, const std::string& vendor,
                             const std::string& application) {
  // The user scope lies under HOME ($HOME/.fltk/<vendor>/<application>.prefs): start with
  // room for that and some slack, so FLTK is not handed a buffer it has to cut.
  const int max_size = 1 << 16;
  const std::size_t guess = platform::home_dir().size() + vendor.size() + application.size() + 64;
  const int first = static_cast<int>(std::clamp<std::size_t>(guess, 256, max_size));
  return checked_user_data_path(
      [&root](char* buffer, int size) { return root.getUserdataPath(buffer, size) != 0; }, vendor,
      application, max_size, first);
}

std::string user_data_folder() {
  if (!g_preferences) return {};
  return user_data_folder(*g_preferences, k_preferences_vendor, k_preferences_application);
}

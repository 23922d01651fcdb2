#include "core/preferences.h"

#include <vector>

Preferences* g_preferences = nullptr;

std::string checked_user_data_path(const std::function<bool(char*, int)>& get_path,
                                   const std::string& vendor, const std::string& application,
                                   int max_size) {
  const std::string tail = "/" + vendor + "/" + application + "/";
  // The file path is the folder without its '/' plus ".prefs": 5 characters longer.
  const std::size_t file_extra = 5;
  for (int size = 256; size > 0 && size <= max_size; size *= 2) {
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
  return checked_user_data_path(
      [&root](char* buffer, int size) { return root.getUserdataPath(buffer, size) != 0; }, vendor,
      application);
}

std::string user_data_folder() {
  if (!g_preferences) return {};
  return user_data_folder(*g_preferences, k_preferences_vendor, k_preferences_application);
}

// Folder path rules of the browser.
#include "browser/folder_paths.h"

std::string folder_path(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path;
  return path + '/';
}

std::string parent_folder(const std::string& folder) {
  if (folder.size() < 2) return {};
  const std::size_t sep = folder.find_last_of('/', folder.size() - 2);
  if (sep == std::string::npos) return {};
  return folder.substr(0, sep + 1);
}

std::string resolve_typed_path(const std::string& text, const std::string& working_dir) {
  if (text.empty()) return {};
  const std::string typed = folder_path(text);
  std::string path;
  if (typed[0] == '/') {
    path = typed;
  } else {
    std::string base = working_dir;
    while (!base.empty() && base.back() == '/') base.pop_back();
    std::size_t start = 0;
    for (;;) {
      if (typed.compare(start, 3, "../") == 0) {
        const std::size_t up = base.find_last_of('/');
        if (up == std::string::npos) break;
        base.erase(up);
        start += 3;
      } else if (typed.compare(start, 2, "./") == 0) {
        start += 2;
      } else {
        break;
      }
    }
    path = base + '/' + typed.substr(start);
  }
  std::string collapsed;
  collapsed.reserve(path.size());
  for (char c : path)
    if (c != '/' || collapsed.empty() || collapsed.back() != '/') collapsed += c;
  return collapsed;
}

std::string folder_menu_label(const std::string& folder) {
  std::string label;
  label.reserve(folder.size());
  for (char c : folder) {
    label += c;
    if (c == '&' || c == '@') label += c;
  }
  return label;
}

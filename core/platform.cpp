// POSIX implementation of the platform layer.
#include "core/platform.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace platform {

std::string home_dir() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  std::string dir(home);
  if (dir.back() != '/') dir += '/';
  return dir;
}

std::string working_dir() {
  // getcwd reports ERANGE until the buffer holds the whole path.
  std::vector<char> buf(256);
  while (!getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) return {};
    buf.resize(buf.size() * 2);
  }
  std::string dir(buf.data());
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

bool can_list_dir(const std::string& path) {
  if (path.empty()) return false;
  DIR* dir = opendir(path.c_str());
  if (!dir) return false;
  closedir(dir);
  return true;
}

}  // namespace platform

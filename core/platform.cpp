// POSIX implementation of the platform layer.
#include "core/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

std::string program_dir() {
  // readlink fills the buffer without a terminator; a full buffer may hold a cut path.
  std::vector<char> buf(256);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (size_t(n) < buf.size()) {
      const std::string path(buf.data(), size_t(n));
      const std::string::size_type slash = path.rfind('/');
      return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    buf.resize(buf.size() * 2);
  }
}

bool can_list_dir(const std::string& path) {
  if (path.empty()) return false;
  DIR* dir = opendir(path.c_str());
  if (!dir) return false;
  closedir(dir);
  return true;
}

bool can_write_dir(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  // The effective user decides: access() would ask for the real one.
  return faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace platform

// POSIX implementation of the file functions of the platform layer.
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "core/platform.h"

int make_directory(const std::string& path) {
  // 0777 less the user's umask, as a folder made by any other program.
  return ::mkdir(path.c_str(), 0777) == 0 ? 0 : -1;
}

int remove_directory(const std::string& path) { return ::rmdir(path.c_str()) == 0 ? 0 : -1; }

bool file_exists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::int64_t file_size(std::FILE* file) {
  if (!file) return -1;
  if (::fseeko(file, 0, SEEK_END) != 0) return -1;
  const off_t end = ::ftello(file);
  std::rewind(file);
  return end < 0 ? -1 : static_cast<std::int64_t>(end);
}

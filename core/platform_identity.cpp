// POSIX implementation of file identity and access checks.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform.h"

bool same_file(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool file_is_writable(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  // The effective user decides, as it would for an open() for writing.
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// POSIX implementation of the file identity test.
#include <sys/stat.h>

#include "core/platform.h"

bool same_file(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

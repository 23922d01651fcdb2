// POSIX file status for the thumbnail tiles.
#include <sys/stat.h>

#include "core/platform.h"

bool owner_can_read(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IRUSR) != 0;
}

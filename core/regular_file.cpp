#include "core/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int open_regular_fd(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  // Back to blocking reads once it is known to be a plain file.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::FILE* open_regular_file(const std::string& path) {
  const int fd = open_regular_fd(path);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "rb");
  if (!file) close(fd);
  return file;
}

bool is_regular_file(const std::string& path) {
  const int fd = open_regular_fd(path);
  if (fd < 0) return false;
  close(fd);
  return true;
}

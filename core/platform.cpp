// POSIX implementation of the platform layer.
#include "core/platform.h"

#include <cstdlib>

namespace platform {

std::string home_dir() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  std::string dir(home);
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace platform

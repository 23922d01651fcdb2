// The few operating-system services the program needs, behind one small interface
// (POSIX here): file status and the user's folders.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

/// The user's home folder from HOME, ending in '/'; empty when HOME is not set.
std::string home_dir();

}  // namespace platform

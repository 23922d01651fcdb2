// Files from resources/ that are compiled into the program (icons, the About picture).
#pragma once
#include <cstddef>
#include <string>

struct Embedded_file {
  const char* name;  // file name in resources/, e.g. "folder.png"
  const unsigned char* data;
  std::size_t size;
};

/// The embedded file of that name, or nullptr when the program holds none.
const Embedded_file* find_embedded_file(const std::string& name);

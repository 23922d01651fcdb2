// Feeds arbitrary dropped text to the path rule of the drop targets.
#include <string>

#include "viewer/drop_path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = dropped_text_to_path(text);
  if (path.size() > text.size()) __builtin_trap();
  return 0;
}

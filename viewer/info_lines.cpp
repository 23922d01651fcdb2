// browser_safe, info_line and file_size_text.
#include "viewer/info_lines.h"

#include <iomanip>
#include <sstream>

std::string browser_safe(const std::string& text) {
  std::string safe = text;
  for (char& c : safe)
    if ((unsigned char)c < 0x20 || c == 0x7f) c = ' ';
  return safe;
}

std::string info_line(const std::string& label, const std::string& value) {
  return "@b@S12" + label + ":\t@S12 " + browser_safe(value);
}

std::string file_size_text(uint64_t bytes) {
  constexpr uint64_t k_mib = 1048576;
  std::ostringstream out;
  out << std::setprecision(3);
  if (bytes < k_mib)
    out << double(bytes) / 1024.0 << " KB";
  else
    out << double(bytes) / double(k_mib) << " MB";
  return out.str();
}

#include "viewer/drop_path.h"

#include <algorithm>

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%20" and the like back to bytes; a '%' not followed by two hex digits stays as it is.
std::string percent_decode(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      const int hi = hex_value(s[i + 1]), lo = hex_value(s[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += char(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

}  // namespace

std::string dropped_text_to_path(const std::string& text) {
  const size_t breaks = size_t(
      std::count_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }));
  static const std::string k_prefix = "file://";
  if (text.compare(0, k_prefix.size(), k_prefix) == 0) {
    // The prefix holds no line breaks, so this count never goes below zero.
    const size_t count = text.size() - k_prefix.size() - breaks;
    return percent_decode(text.substr(k_prefix.size(), count));
  }
  return text.substr(0, text.size() - breaks);
}

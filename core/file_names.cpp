#include "core/file_names.h"

#include <stdexcept>

namespace {

std::string::size_type last_dot(const std::string& s, const char* who) {
  const auto dot = s.rfind('.');
  if (dot == std::string::npos) throw std::out_of_range(std::string(who) + ": no '.' in " + s);
  return dot;
}

}  // namespace

std::string make_output_name(const std::string& file_name, const std::string& suffix,
                             const std::string& extension) {
  const auto dot = last_dot(file_name, "make_output_name");
  const std::string ext = extension.empty() ? file_name.substr(dot) : extension;
  return file_name.substr(0, dot) + suffix + ext;
}

void split_file_name(const std::string& path, std::string& base, std::string& extension) {
  const auto dot = last_dot(path, "split_file_name");
  const auto sep = path.rfind('/');
  const auto start = sep == std::string::npos ? 0 : sep + 1;
  // A dot inside a folder name only ("a.b/c") leaves no base name and no extension
  // to speak of; keep the name whole rather than cut backwards.
  if (dot < start) throw std::out_of_range("split_file_name: no '.' in the file name of " + path);
  base = path.substr(start, dot - start);
  extension = path.substr(dot);
}

void split_path(const std::string& path, std::string& folder, std::string& file_name) {
  const auto sep = path.rfind('/');
  if (sep == std::string::npos) {
    folder.clear();
    file_name = path;
    return;
  }
  folder = path.substr(0, sep + 1);
  file_name = path.substr(sep + 1);
}

bool is_valid_file_name(const std::string& name) {
  if (name.empty()) return false;
  for (const char c : name) {
    // Compare as unsigned bytes: a UTF-8 byte is negative as char, and passing that to
    // isalnum would be undefined.
    const auto u = static_cast<unsigned char>(c);
    const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                    u == '_' || u == '-' || u == ' ';
    if (!ok) return false;
  }
  return true;
}

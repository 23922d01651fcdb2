// Reading the mount table and the volume labels on Linux.
#include "core/platform_mounts.h"

#include <dirent.h>
#include <stdlib.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace platform {
namespace {

bool is_octal(char c) { return c >= '0' && c <= '7'; }

// The kernel writes ' ', '\t', '\n' and '\\' inside fields as a backslash and three octal
// digits.
std::string decode_field(const std::string& field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && is_octal(field[i + 1]) &&
        is_octal(field[i + 2]) && is_octal(field[i + 3])) {
      int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      if (value > 0 && value < 256) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string read_text(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Resolves symbolic links; the path itself when it cannot be resolved.
std::string real_path(const std::string& path) {
  std::unique_ptr<char, decltype(&free)> resolved(realpath(path.c_str(), nullptr), &free);
  return resolved ? std::string(resolved.get()) : path;
}

std::map<std::string, std::string> labels_by_device() {
  std::map<std::string, std::string> labels;
  const std::string folder = "/dev/disk/by-label/";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return labels;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    labels[real_path(folder + name)] = decode_label_name(name);
  }
  closedir(dir);
  return labels;
}

}  // namespace

std::vector<Mount> parse_mount_table(const std::string& text) {
  std::vector<Mount> mounts;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, mount_point, fs_type;
    if (!(fields >> device >> mount_point >> fs_type)) continue;
    Mount mount{decode_field(device), decode_field(mount_point), decode_field(fs_type), {}};
    if (mount.mount_point.empty() || mount.mount_point[0] != '/') continue;
    while (mount.mount_point.size() > 1 && mount.mount_point.back() == '/')
      mount.mount_point.pop_back();
    mounts.push_back(std::move(mount));
  }
  return mounts;
}

std::string decode_label_name(const std::string& name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
      int high = hex_digit(name[i + 2]), low = hex_digit(name[i + 3]);
      if (high >= 0 && low >= 0 && (high || low)) {
        out += static_cast<char>(high * 16 + low);
        i += 3;
        continue;
      }
    }
    out += name[i];
  }
  return out;
}

std::vector<Mount> mounted_file_systems() {
  std::string table = read_text("/proc/self/mounts");
  if (table.empty()) table = read_text("/etc/mtab");
  std::vector<Mount> mounts = parse_mount_table(table);
  const std::map<std::string, std::string> labels = labels_by_device();
  for (Mount& mount : mounts) {
    if (mount.device.empty() || mount.device[0] != '/') continue;
    auto found = labels.find(real_path(mount.device));
    if (found != labels.end()) mount.label = found->second;
  }
  return mounts;
}

}  // namespace platform

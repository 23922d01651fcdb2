// The entries of the drive list.
#include "browser/drive_list.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "core/platform.h"

namespace {

bool under(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0;
}

// Where desktops and udisks mount removable media, and where administrators mount the
// rest by hand.
bool in_removable_folder(const std::string& mount_point) {
  return under(mount_point, "/media/") || under(mount_point, "/run/media/");
}

bool in_mount_folder(const std::string& mount_point) {
  return in_removable_folder(mount_point) || mount_point == "/mnt" || under(mount_point, "/mnt/");
}

std::string last_component(const std::string& mount_point) {
  const std::size_t sep = mount_point.find_last_of('/');
  return sep == std::string::npos ? mount_point : mount_point.substr(sep + 1);
}

Drive_kind kind_of(const platform::Mount& mount) {
  if (is_network_file_system(mount.fs_type)) return Drive_kind::network;
  if (mount.fs_type == "iso9660" || mount.fs_type == "udf") return Drive_kind::optical;
  if (in_removable_folder(mount.mount_point)) return Drive_kind::removable;
  return Drive_kind::fixed;
}

std::string name_of(const platform::Mount& mount) {
  if (!mount.label.empty()) return mount.label;
  if (is_network_file_system(mount.fs_type)) return mount.device;
  if (mount.mount_point == "/") return {};
  return last_component(mount.mount_point);
}

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

bool is_pseudo_file_system(const std::string& fs_type) {
  static const std::set<std::string> pseudo = {
      "autofs",          "binfmt_misc", "bpf",        "cgroup",     "cgroup2",
      "configfs",        "debugfs",     "devpts",     "devtmpfs",   "efivarfs",
      "fusectl",         "hugetlbfs",   "mqueue",     "nsfs",       "proc",
      "pstore",          "ramfs",       "rpc_pipefs", "securityfs", "selinuxfs",
      "sysfs",           "tmpfs",       "tracefs",    "squashfs",   "overlay",
      "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "nfsd"};
  return pseudo.count(fs_type) > 0;
}

bool is_network_file_system(const std::string& fs_type) {
  static const std::set<std::string> network = {
      "nfs",         "nfs4",       "cifs",  "smb3",  "smbfs",       "afs",       "ceph",
      "9p",          "fuse.sshfs", "sshfs", "davfs", "fuse.davfs2", "glusterfs", "fuse.glusterfs",
      "fuse.rclone", "fuse.s3fs"};
  return network.count(fs_type) > 0;
}

std::string xdg_user_dir(const std::string& user_dirs_text, const std::string& key,
                         const std::string& home, const std::string& fallback) {
  std::string found = fallback;
  std::istringstream lines(user_dirs_text);
  std::string line;
  while (std::getline(lines, line)) {
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    if (line.compare(start, key.size() + 1, key + "=") != 0) continue;
    std::string raw = line.substr(start + key.size() + 1);
    if (raw.size() < 2 || raw.front() != '"') continue;
    // A shell-quoted value: a backslash takes the next character as it stands.
    std::string value;
    bool closed = false;
    for (std::size_t i = 1; i < raw.size(); ++i) {
      if (raw[i] == '\\' && i + 1 < raw.size()) {
        value += raw[++i];
      } else if (raw[i] == '"') {
        closed = true;
        break;
      } else {
        value += raw[i];
      }
    }
    if (!closed) continue;
    if (value.compare(0, 5, "$HOME") == 0) {
      if (home.empty()) continue;
      std::string rest = value.substr(5);
      if (!rest.empty() && rest[0] != '/') continue;
      while (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
      value = home + rest;
    } else if (value.empty() || value[0] != '/') {
      continue;
    }
    if (value.back() != '/') value += '/';
    found = value;  // the last assignment wins, as in the shell
  }
  return found;
}

std::vector<Drive_entry> drive_entries(const std::vector<platform::Mount>& mounts,
                                       const std::string& home, const std::string& user_dirs_text) {
  std::map<std::string, platform::Mount> listed;  // by mount point; later mounts win
  for (const platform::Mount& mount : mounts) {
    const bool root = mount.mount_point == "/";
    if (!root && is_pseudo_file_system(mount.fs_type)) continue;
    if (root || in_mount_folder(mount.mount_point) || is_network_file_system(mount.fs_type))
      listed[mount.mount_point] = mount;
  }
  std::vector<Drive_entry> entries;
  for (const auto& [mount_point, mount] : listed) {
    Drive_entry entry{name_of(mount) + "(" + mount_point + ")",
                      mount_point == "/" ? "/" : mount_point + "/", kind_of(mount)};
    // The root sorts first anyway: '/' is the smallest mount point.
    entries.push_back(std::move(entry));
  }
  if (!home.empty()) {
    entries.push_back({"Desktop",
                       xdg_user_dir(user_dirs_text, "XDG_DESKTOP_DIR", home, home + "Desktop/"),
                       Drive_kind::desktop});
    entries.push_back({"Documents",
                       xdg_user_dir(user_dirs_text, "XDG_DOCUMENTS_DIR", home, home + "Documents/"),
                       Drive_kind::documents});
  }
  return entries;
}

std::vector<Drive_entry> system_drive_entries() {
  const std::string home = platform::home_dir();
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string config_dir = config && *config == '/' ? std::string(config) + "/"
                                                    : (home.empty() ? "" : home + ".config/");
  const std::string user_dirs = config_dir.empty() ? "" : read_text(config_dir + "user-dirs.dirs");
  return drive_entries(platform::mounted_file_systems(), home, user_dirs);
}

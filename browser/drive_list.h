// What the drive list shows on Linux: the mounted file systems a user browses (the root,
// mounts under the usual mount folders, network mounts), then the desktop and documents
// folders of the user's home. No toolkit here.
#pragma once
#include <string>
#include <vector>

#include "core/platform_mounts.h"

enum class Drive_kind { fixed, removable, network, optical, desktop, documents };

struct Drive_entry {
  std::string label;   // "name(mount point)", or "Desktop" / "Documents"
  std::string folder;  // ending in '/'
  Drive_kind kind;
};

/// Kernel and service file systems that hold nothing to browse (proc, sysfs, tmpfs...).
bool is_pseudo_file_system(const std::string& fs_type);
/// File systems reached over the network (nfs, cifs, sshfs...).
bool is_network_file_system(const std::string& fs_type);

/// The folder the user-dirs.dirs text gives for key (such as "XDG_DESKTOP_DIR"), with
/// "$HOME" replaced by home (ending in '/'); fallback when the key is not set there.
std::string xdg_user_dir(const std::string& user_dirs_text, const std::string& key,
                         const std::string& home, const std::string& fallback);

/// The lines of the drive list: the root first, then the other listed mounts by mount
/// point (a mount point mounted twice counts once, the later mount winning), then
/// "Desktop" and "Documents" unless home is empty. A mount's name is its volume label,
/// else the device of a network mount, else the last component of its mount point.
std::vector<Drive_entry> drive_entries(const std::vector<platform::Mount>& mounts,
                                       const std::string& home, const std::string& user_dirs_text);

/// The running system's lines: its mount table, HOME and the user's user-dirs.dirs.
std::vector<Drive_entry> system_drive_entries();

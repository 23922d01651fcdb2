// The mounted file systems, read from the kernel's mount table. The parser takes the
// table's text so that tests can hand it any table.
#pragma once
#include <string>
#include <vector>

namespace platform {

struct Mount {
  std::string device;       // first field: /dev/sdb1, server:/export, //host/share, proc...
  std::string mount_point;  // decoded; no trailing '/' except for the root
  std::string fs_type;      // ext4, vfat, nfs4, fuse.sshfs, proc...
  std::string label;        // volume label when known, else empty
};

/// Parses text in the format of /proc/self/mounts: one mount a line, fields separated by
/// blanks, blanks inside a field written as octal escapes (\040). Lines with fewer than
/// three fields or a mount point that is not absolute are skipped.
std::vector<Mount> parse_mount_table(const std::string& text);

/// Decodes the escapes udev uses in /dev/disk/by-label names (\x20 for a space).
std::string decode_label_name(const std::string& name);

/// The running system's mounts (/proc/self/mounts, else /etc/mtab; none when neither can
/// be read), each labelled from /dev/disk/by-label when its device has a label there.
std::vector<Mount> mounted_file_systems();

}  // namespace platform

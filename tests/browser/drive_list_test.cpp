#include "browser/drive_list.h"

#include <gtest/gtest.h>

namespace {

const char* const k_table =
    "sysfs /sys sysfs rw 0 0\n"
    "proc /proc proc rw 0 0\n"
    "udev /dev devtmpfs rw 0 0\n"
    "/dev/nvme0n1p2 / ext4 rw 0 0\n"
    "tmpfs /run tmpfs rw 0 0\n"
    "/dev/nvme0n1p1 /boot/efi vfat rw 0 0\n"
    "/dev/nvme0n1p3 /home ext4 rw 0 0\n"
    "/dev/sdb1 /media/ann/CAMERA vfat rw 0 0\n"
    "/dev/sr0 /media/ann/HOLIDAY iso9660 ro 0 0\n"
    "tmpfs /mnt/scratch tmpfs rw 0 0\n"
    "/dev/sdc1 /run/media/ann/Backup\\040Disk ext4 rw 0 0\n"
    "nas:/photos /mnt/nas nfs4 rw 0 0\n"
    "//fileserver/share /srv/share cifs rw 0 0\n"
    "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
    "/dev/sdd1 /mnt/old ext4 rw 0 0\n"
    "/dev/sde1 /mnt/old ext4 rw 0 0\n";

struct Line {
  std::string label, folder;
  Drive_kind kind;
  bool operator==(const Line& o) const {
    return label == o.label && folder == o.folder && kind == o.kind;
  }
};

std::ostream& operator<<(std::ostream& out, const Line& l) {
  return out << l.label << " -> " << l.folder << " (" << static_cast<int>(l.kind) << ")";
}

std::vector<Line> lines_of(const std::vector<Drive_entry>& entries) {
  std::vector<Line> lines;
  for (const auto& e : entries) lines.push_back({e.label, e.folder, e.kind});
  return lines;
}

TEST(Drive_entries, injected_mount_table_gives_the_expected_lines) {
  std::vector<platform::Mount> mounts = platform::parse_mount_table(k_table);
  for (auto& m : mounts)
    if (m.device == "/dev/nvme0n1p2") m.label = "System";
  const std::vector<Line> expected = {
      {"System(/)", "/", Drive_kind::fixed},
      {"CAMERA(/media/ann/CAMERA)", "/media/ann/CAMERA/", Drive_kind::removable},
      {"HOLIDAY(/media/ann/HOLIDAY)", "/media/ann/HOLIDAY/", Drive_kind::optical},
      {"nas:/photos(/mnt/nas)", "/mnt/nas/", Drive_kind::network},
      {"old(/mnt/old)", "/mnt/old/", Drive_kind::fixed},
      {"Backup Disk(/run/media/ann/Backup Disk)", "/run/media/ann/Backup Disk/",
       Drive_kind::removable},
      {"//fileserver/share(/srv/share)", "/srv/share/", Drive_kind::network},
      {"Desktop", "/home/ann/Desktop/", Drive_kind::desktop},
      {"Documents", "/home/ann/Documents/", Drive_kind::documents},
  };
  EXPECT_EQ(lines_of(drive_entries(mounts, "/home/ann/", "")), expected);
}

TEST(Drive_entries, root_without_label_and_in_a_container) {
  const auto mounts = platform::parse_mount_table("overlay / overlay rw 0 0\n");
  const auto entries = drive_entries(mounts, "/root/", "");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].label, "(/)");
  EXPECT_EQ(entries[0].folder, "/");
}

TEST(Drive_entries, missing_home_leaves_out_the_places) {
  const auto mounts = platform::parse_mount_table("/dev/sda1 / ext4 rw 0 0\n");
  const auto entries = drive_entries(mounts, "", "XDG_DESKTOP_DIR=\"/x/\"\n");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].label, "(/)");
}

TEST(Drive_entries, user_dirs_name_the_places) {
  const std::string user_dirs =
      "# written by xdg-user-dirs-update\n"
      "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
      "XDG_DOCUMENTS_DIR=\"/data/Dokumente\"\n";
  const auto entries = drive_entries({}, "/home/ann/", user_dirs);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].folder, "/home/ann/Schreibtisch/");
  EXPECT_EQ(entries[1].folder, "/data/Dokumente/");
}

struct User_dir_case {
  const char* name;
  std::string text;
  std::string expected;
};

void PrintTo(const User_dir_case& c, std::ostream* out) { *out << c.name; }

class Xdg_user_dir : public ::testing::TestWithParam<User_dir_case> {};

TEST_P(Xdg_user_dir, reads_the_key) {
  EXPECT_EQ(xdg_user_dir(GetParam().text, "XDG_DESKTOP_DIR", "/home/ann/", "/fallback/"),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Xdg_user_dir,
    ::testing::Values(
        User_dir_case{"absent", "XDG_MUSIC_DIR=\"$HOME/Music\"\n", "/fallback/"},
        User_dir_case{"home_relative", "XDG_DESKTOP_DIR=\"$HOME/Desk top\"\n",
                      "/home/ann/Desk top/"},
        User_dir_case{"home_itself", "XDG_DESKTOP_DIR=\"$HOME/\"\n", "/home/ann/"},
        User_dir_case{"absolute", "XDG_DESKTOP_DIR=\"/srv/desk\"\n", "/srv/desk/"},
        User_dir_case{"escaped_quote", "XDG_DESKTOP_DIR=\"$HOME/a\\\"b\"\n", "/home/ann/a\"b/"},
        User_dir_case{"commented_out", "# XDG_DESKTOP_DIR=\"/x\"\n", "/fallback/"},
        User_dir_case{"unquoted_ignored", "XDG_DESKTOP_DIR=$HOME/x\n", "/fallback/"},
        User_dir_case{"relative_ignored", "XDG_DESKTOP_DIR=\"desk\"\n", "/fallback/"},
        User_dir_case{"other_variable_ignored", "XDG_DESKTOP_DIR=\"$HOMEX/a\"\n", "/fallback/"},
        User_dir_case{"unterminated_ignored", "XDG_DESKTOP_DIR=\"/x\n", "/fallback/"},
        User_dir_case{"last_wins", "XDG_DESKTOP_DIR=\"/a\"\nXDG_DESKTOP_DIR=\"/b\"\n", "/b/"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

#include "core/platform_mounts.h"

#include <gtest/gtest.h>

namespace {

TEST(Parse_mount_table, reads_fields_and_decodes_escapes) {
  const std::string table =
      "/dev/sda2 / ext4 rw,relatime 0 0\n"
      "proc /proc proc rw,nosuid 0 0\n"
      "/dev/sdb1 /media/ann/MY\\040STICK vfat rw 0 0\n"
      "server:/export /mnt/nas/ nfs4 rw 0 0\n"
      "broken-line\n"
      "\n"
      "none relative ext4 rw 0 0\n"
      "/dev/sdc1 /mnt/back\\134slash ext4 rw 0 0\n";
  const std::vector<platform::Mount> mounts = platform::parse_mount_table(table);
  ASSERT_EQ(mounts.size(), 5u);
  EXPECT_EQ(mounts[0].device, "/dev/sda2");
  EXPECT_EQ(mounts[0].mount_point, "/");
  EXPECT_EQ(mounts[0].fs_type, "ext4");
  EXPECT_EQ(mounts[1].fs_type, "proc");
  EXPECT_EQ(mounts[2].mount_point, "/media/ann/MY STICK");
  EXPECT_EQ(mounts[3].mount_point, "/mnt/nas");
  EXPECT_EQ(mounts[4].mount_point, "/mnt/back\\slash");
  for (const auto& mount : mounts) EXPECT_TRUE(mount.label.empty());
}

TEST(Parse_mount_table, incomplete_escape_is_kept_as_text) {
  const auto mounts = platform::parse_mount_table("/dev/x /mnt/a\\04 ext4 rw 0 0\n");
  ASSERT_EQ(mounts.size(), 1u);
  EXPECT_EQ(mounts[0].mount_point, "/mnt/a\\04");
}

TEST(Decode_label_name, hex_escapes) {
  EXPECT_EQ(platform::decode_label_name("MY\\x20DISK"), "MY DISK");
  EXPECT_EQ(platform::decode_label_name("A\\x2fB"), "A/B");
  EXPECT_EQ(platform::decode_label_name("bad\\xZZ"), "bad\\xZZ");
  EXPECT_EQ(platform::decode_label_name("nul\\x00"), "nul\\x00");
}

TEST(Mounted_file_systems, this_system_has_a_root) {
  bool root = false;
  for (const auto& mount : platform::mounted_file_systems()) root |= mount.mount_point == "/";
  EXPECT_TRUE(root);
}

}  // namespace

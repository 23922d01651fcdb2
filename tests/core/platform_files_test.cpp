#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/platform.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(File_exists, true_for_files_and_folders_false_for_missing) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), "x"));
  EXPECT_TRUE(file_exists(dir.file("a.jpg")));
  EXPECT_TRUE(file_exists(dir.path()));
  EXPECT_FALSE(file_exists(dir.file("missing.jpg")));
  EXPECT_FALSE(file_exists(""));
}

TEST(Make_and_remove_directory, create_remove_and_refuse_non_empty) {
  Temp_dir dir;
  const std::string sub = dir.file("sub");
  EXPECT_EQ(make_directory(sub), 0);
  EXPECT_TRUE(file_exists(sub));
  EXPECT_EQ(make_directory(sub), -1);  // already there
  ASSERT_TRUE(write_file_bytes(sub + "/f.txt", "x"));
  EXPECT_EQ(remove_directory(sub), -1);  // not empty: stays
  EXPECT_TRUE(file_exists(sub + "/f.txt"));
  ASSERT_EQ(std::remove((sub + "/f.txt").c_str()), 0);
  EXPECT_EQ(remove_directory(sub), 0);
  EXPECT_FALSE(file_exists(sub));
  EXPECT_EQ(make_directory(dir.file("no/such/parent")), -1);
}

TEST(File_size, reports_size_and_leaves_position_at_start) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("f.bin"), std::string(1000, 'q')));
  std::FILE* f = std::fopen(dir.file("f.bin").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fseek(f, 10, SEEK_SET);
  EXPECT_EQ(file_size(f), 1000);
  EXPECT_EQ(std::ftell(f), 0);
  std::fclose(f);
  EXPECT_EQ(file_size(nullptr), -1);
}

TEST(File_size, beyond_two_gigabytes_is_not_truncated) {
  Temp_dir dir;
  const std::string path = dir.file("sparse.bin");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  // A sparse file: seek past 4 GiB and write one byte; costs no disk space.
  const std::int64_t big = (std::int64_t{1} << 32) + 7;
  ASSERT_EQ(fseeko(f, big - 1, SEEK_SET), 0);
  ASSERT_EQ(std::fputc('z', f), 'z');
  std::fclose(f);
  f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(file_size(f), big);
  std::fclose(f);
}

}  // namespace

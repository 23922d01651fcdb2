#include "core/file_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/image_errors.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/temp_dir.h"

namespace {

std::string pattern_bytes(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char((i * 131 + 7) & 0xff);
  return s;
}

TEST(CopyFile, CopiesEveryByte) {
  Temp_dir dir;
  // Larger than one copy buffer, with NUL bytes inside.
  const std::string bytes = pattern_bytes((1 << 20) * 2 + 17);
  ASSERT_TRUE(write_file_bytes(dir.file("src"), bytes));
  ASSERT_TRUE(write_file_bytes(dir.file("dst"), "old destination, longer than nothing"));
  copy_file(dir.file("dst"), dir.file("src"));
  EXPECT_EQ(read_file_bytes(dir.file("dst")), bytes);
  EXPECT_EQ(read_file_bytes(dir.file("src")), bytes);
}

TEST(CopyFile, EmptySourceGivesEmptyFile) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("src"), ""));
  copy_file(dir.file("dst"), dir.file("src"));
  EXPECT_EQ(read_file_bytes(dir.file("dst")), "");
}

TEST(CopyFile, SameFileUnderOtherNamesStaysIntact) {
  Temp_dir dir;
  const std::string bytes = pattern_bytes(5000);
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), bytes));
  ASSERT_EQ(link(dir.file("a.jpg").c_str(), dir.file("hard.jpg").c_str()), 0);
  ASSERT_EQ(symlink(dir.file("a.jpg").c_str(), dir.file("soft.jpg").c_str()), 0);
  for (const std::string& other :
       {dir.file("a.jpg"), dir.path() + "./a.jpg", dir.file("hard.jpg"), dir.file("soft.jpg")}) {
    copy_file(other, dir.file("a.jpg"));
    copy_file(dir.file("a.jpg"), other);
    EXPECT_EQ(read_file_bytes(dir.file("a.jpg")), bytes) << other;
  }
}

TEST(CopyFile, MissingSourceThrowsAndKeepsDestination) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("dst"), "keep me"));
  try {
    copy_file(dir.file("dst"), dir.file("missing"));
    FAIL() << "no exception";
  } catch (const Write_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot copy file to: " + dir.file("dst"));
  }
  EXPECT_EQ(read_file_bytes(dir.file("dst")), "keep me");
}

// Opening a named pipe for reading waits for a writer: a pipe pasted from the browser
// hung the program. Run in a child so that a hang fails the test (the alarm ends it).
TEST(CopyFile, NamedPipeAsSourceThrowsWithoutWaiting) {
  Temp_dir dir;
  ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0644), 0);
  EXPECT_EXIT(
      {
        alarm(10);
        try {
          copy_file(dir.file("dst"), dir.file("pipe"));
        } catch (const Write_error&) {
          std::exit(access(dir.file("dst").c_str(), F_OK) == -1 ? 0 : 2);
        }
        std::exit(1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(CopyFile, FolderAsSourceThrows) {
  Temp_dir dir;
  EXPECT_THROW(copy_file(dir.file("dst"), dir.path()), Write_error);
  EXPECT_EQ(access(dir.file("dst").c_str(), F_OK), -1);
}

TEST(CopyFile, ReadOnlyFolderKeepsOldFile) {
  Temp_dir dir;
  const std::string folder = dir.file("ro/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(folder + "dst", "old bytes"));
  ASSERT_TRUE(write_file_bytes(dir.file("src"), "new bytes"));
  ASSERT_EQ(chmod(dir.file("src").c_str(), 0644), 0);
  {
    Read_only_dir ro(folder);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_THROW(copy_file(folder + "dst", dir.file("src")), Write_error);
  }
  EXPECT_EQ(read_file_bytes(folder + "dst"), "old bytes");
}

}  // namespace

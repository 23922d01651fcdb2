#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(SameFile, OneFileUnderEverySpelling) {
  Temp_dir dir;
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(dir.file("sub/a.jpg"), "a"));
  ASSERT_EQ(symlink(dir.file("sub").c_str(), dir.file("link").c_str()), 0);
  ASSERT_EQ(link(dir.file("sub/a.jpg").c_str(), dir.file("hard.jpg").c_str()), 0);
  const std::string a = dir.file("sub/a.jpg");
  for (const std::string& other :
       {a, dir.path() + "sub//a.jpg", dir.path() + "sub/./a.jpg", dir.path() + "link/a.jpg",
        dir.path() + "link/../sub/a.jpg", dir.file("hard.jpg")})
    EXPECT_TRUE(same_file(a, other)) << other;
}

TEST(SameFile, FalseForOtherOrMissingFiles) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), "same bytes"));
  ASSERT_TRUE(write_file_bytes(dir.file("b.jpg"), "same bytes"));
  EXPECT_FALSE(same_file(dir.file("a.jpg"), dir.file("b.jpg")));
  EXPECT_FALSE(same_file(dir.file("a.jpg"), dir.file("missing.jpg")));
  EXPECT_FALSE(same_file(dir.file("missing.jpg"), dir.file("missing.jpg")));
  EXPECT_FALSE(same_file("", ""));
}

}  // namespace

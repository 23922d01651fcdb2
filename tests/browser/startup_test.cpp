// Start-up helpers that need no window.
#include <gtest/gtest.h>

#include "browser/startup.h"

#include <filesystem>
#include <string>

TEST(Absolute_path, RelativePathsGetTheWorkingFolderInFront) {
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(absolute_path("a.png"), here + "/a.png");
  EXPECT_EQ(absolute_path("sub/b c.jpg"), here + "/sub/b c.jpg");
  EXPECT_EQ(absolute_path("/x/y.exr"), "/x/y.exr");
  EXPECT_EQ(absolute_path(""), "");
}

TEST(Absolute_path, LongPathsAreNotCut) {
  const std::string name(5000, 'n');
  const std::string result = absolute_path(name + ".png");
  EXPECT_EQ(result.size(), std::filesystem::current_path().string().size() + 1 + 5004);
}

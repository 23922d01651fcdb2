// Start-up helpers that need no window.
#include <gtest/gtest.h>

#include "browser/startup.h"

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

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

// The help page: the working folder first, then beside the program, then the installed
// data folder; the first that holds it wins.
TEST(Help_page, FoundInTheFirstFolderThatHoldsIt) {
  Temp_dir here, beside, data;
  const std::vector<std::string> folders = {here.path(), beside.path(), data.path()};
  EXPECT_EQ(find_data_file("help.html", folders), "help.html");  // none: the toolkit's error page
  ASSERT_TRUE(write_file_bytes(data.file("help.html"), "data"));
  EXPECT_EQ(find_data_file("help.html", folders), data.file("help.html"));
  ASSERT_TRUE(write_file_bytes(beside.file("help.html"), "beside"));
  EXPECT_EQ(find_data_file("help.html", folders), beside.file("help.html"));
  ASSERT_TRUE(write_file_bytes(here.file("help.html"), "here"));
  EXPECT_EQ(find_data_file("help.html", folders), here.file("help.html"));
}

TEST(Help_page, FoldersAreTheWorkingOneTheProgramsAndTheDataFolder) {
  const std::vector<std::string> folders = help_folders();
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_EQ(folders[0], "");  // relative: the working folder
  // This test program's own folder.
  const std::string program =
      std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
  EXPECT_EQ(folders[1], program);
  const std::string data = folders[2];
  ASSERT_GE(data.size(), std::string("/share/veltrum/").size());
  EXPECT_EQ(data.substr(data.size() - std::string("/share/veltrum/").size()), "/share/veltrum/");
  EXPECT_EQ(data[0], '/');
}

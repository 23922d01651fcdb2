#include "browser/paste_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/file_view_recorder.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

TEST(CopyName, CountsUpFromCopyToCopy2) {
  Temp_dir dir;
  EXPECT_EQ(copy_name(dir.path(), "a", ".jpg"), dir.file("a_copy.jpg"));
  ASSERT_TRUE(write_file_bytes(dir.file("a_copy.jpg"), "x"));
  EXPECT_EQ(copy_name(dir.path(), "a", ".jpg"), dir.file("a_copy2.jpg"));
  ASSERT_TRUE(write_file_bytes(dir.file("a_copy2.jpg"), "x"));
  // A folder of that name is taken as well.
  ASSERT_EQ(mkdir(dir.file("a_copy3.jpg").c_str(), 0755), 0);
  EXPECT_EQ(copy_name(dir.path(), "a", ".jpg"), dir.file("a_copy4.jpg"));
}

TEST(PasteFiles, CopyIntoOwnFolderMakesCopyThenCopy2) {
  Temp_dir dir;
  Scripted_messages messages;
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), "image bytes"));
  File_view_recorder view(dir.path());
  EXPECT_EQ(paste_files({dir.file("a.jpg")}, true, dir.path()), 1);
  EXPECT_EQ(read_file_bytes(dir.file("a_copy.jpg")), "image bytes");
  EXPECT_EQ(paste_files({dir.file("a.jpg")}, true, dir.path()), 1);
  EXPECT_EQ(read_file_bytes(dir.file("a_copy2.jpg")), "image bytes");
  EXPECT_EQ(read_file_bytes(dir.file("a.jpg")), "image bytes");
  EXPECT_TRUE(messages.questions.empty());
  const std::vector<std::string> expected = {
      "begin 1 Copying...", "step 0", "added " + dir.file("a_copy.jpg"),  "end",
      "begin 1 Copying...", "step 0", "added " + dir.file("a_copy2.jpg"), "end"};
  EXPECT_EQ(view.events, expected);
}

// The name the user gave stays: moving a file onto its own folder does nothing.
TEST(PasteFiles, CutIntoOwnFolderLeavesTheFileAsItIs) {
  Temp_dir dir;
  Scripted_messages messages;
  ASSERT_TRUE(write_file_bytes(dir.file("a.png"), "png bytes"));
  ASSERT_TRUE(write_file_bytes(dir.file("b.png"), "other bytes"));
  File_view_recorder view(dir.path());
  EXPECT_EQ(paste_files({dir.file("a.png"), dir.file("b.png")}, false, dir.path()), 0);
  EXPECT_EQ(read_file_bytes(dir.file("a.png")), "png bytes");
  EXPECT_EQ(read_file_bytes(dir.file("b.png")), "other bytes");
  EXPECT_FALSE(exists(dir.file("a_copy.png")));
  EXPECT_FALSE(exists(dir.file("b_copy.png")));
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_TRUE(messages.alerts.empty());
  const std::vector<std::string> expected = {"begin 2 Copying...", "step 0", "step 1", "end"};
  EXPECT_EQ(view.events, expected);
}

TEST(PasteFiles, CutBetweenFoldersMovesEveryFileInOrder) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string from = dir.file("from/"), to = dir.file("to/");
  ASSERT_EQ(mkdir(from.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(to.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(from + "one.jpg", "1"));
  ASSERT_TRUE(write_file_bytes(from + "two.tif", "2"));
  File_view_recorder view(from);  // the source folder is shown
  EXPECT_EQ(paste_files({from + "one.jpg", from + "two.tif"}, false, to), 2);
  EXPECT_FALSE(exists(from + "one.jpg"));
  EXPECT_FALSE(exists(from + "two.tif"));
  EXPECT_EQ(read_file_bytes(to + "one.jpg"), "1");
  EXPECT_EQ(read_file_bytes(to + "two.tif"), "2");
  const std::vector<std::string> expected = {"begin 2 Copying...",          "step 0",
                                             "removed " + from + "one.jpg", "step 1",
                                             "removed " + from + "two.tif", "end"};
  EXPECT_EQ(view.events, expected);
}

struct Overwrite_case {
  int answer;  // 0 Skip, 1 Overwrite
  bool copy;
};

class PasteOverwrite : public ::testing::TestWithParam<Overwrite_case> {};

TEST_P(PasteOverwrite, AsksAndFollowsTheAnswer) {
  const Overwrite_case c = GetParam();
  Temp_dir dir;
  Scripted_messages messages;
  messages.answers = {c.answer};
  const std::string from = dir.file("from/"), to = dir.file("to/");
  ASSERT_EQ(mkdir(from.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(to.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(from + "a.jpg", "new"));
  ASSERT_TRUE(write_file_bytes(to + "a.jpg", "old target"));
  File_view_recorder view(to);
  paste_files({from + "a.jpg"}, c.copy, to);
  ASSERT_EQ(messages.questions.size(), 1u);
  EXPECT_EQ(messages.questions[0], to + "a.jpg exists. Do you want to overwrite?");
  if (c.answer == 1) {
    EXPECT_EQ(read_file_bytes(to + "a.jpg"), "new");
    EXPECT_EQ(exists(from + "a.jpg"), c.copy);
  } else {
    EXPECT_EQ(read_file_bytes(to + "a.jpg"), "old target");
    EXPECT_EQ(read_file_bytes(from + "a.jpg"), "new");  // a skipped Cut keeps its source
  }
}

INSTANTIATE_TEST_SUITE_P(SkipAndOverwrite, PasteOverwrite,
                         ::testing::Values(Overwrite_case{0, true}, Overwrite_case{1, true},
                                           Overwrite_case{0, false}, Overwrite_case{1, false}));

TEST(PasteFiles, VanishedSourceLeavesNoTargetAndGoesOn) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string to = dir.file("to/");
  ASSERT_EQ(mkdir(to.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(dir.file("b.jpg"), "b"));
  File_view_recorder view(to);
  EXPECT_EQ(paste_files({dir.file("gone.jpg"), dir.file("b.jpg")}, false, to), 1);
  EXPECT_FALSE(exists(to + "gone.jpg"));
  EXPECT_EQ(read_file_bytes(to + "b.jpg"), "b");
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_EQ(messages.alerts[0], "Cannot copy file to: " + to + "gone.jpg");
  // No temporary file is left behind: the folder holds only b.jpg.
  EXPECT_EQ(std::remove((to + "b.jpg").c_str()), 0);
  EXPECT_EQ(rmdir(to.c_str()), 0);
}

TEST(PasteFiles, SourceRemovedWhileEventsAreServed) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string to = dir.file("to/");
  ASSERT_EQ(mkdir(to.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), "a"));
  static std::string victim;
  victim = dir.file("a.jpg");
  File_view_recorder view(to);
  view.on_step.push_back({0, [](void*) { std::remove(victim.c_str()); }});
  EXPECT_EQ(paste_files({victim}, true, to), 0);
  EXPECT_FALSE(exists(to + "a.jpg"));
  EXPECT_EQ(messages.alerts.size(), 1u);
}

// The same file reached through another spelling of its folder must never be copied onto
// itself; for a Cut that would end with the only copy removed. A Copy makes a copy_name,
// a Cut leaves the file alone.
class PasteSameFile : public ::testing::TestWithParam<std::tuple<std::string, bool>> {};

TEST_P(PasteSameFile, IsCopiedUnderACopyNameOrLeftAlone) {
  const std::string spelling = std::get<0>(GetParam());
  const bool copy = std::get<1>(GetParam());
  Temp_dir dir;
  Scripted_messages messages;
  const std::string real = dir.file("real/");
  ASSERT_EQ(mkdir(real.c_str(), 0755), 0);
  ASSERT_EQ(symlink(real.c_str(), dir.file("link").c_str()), 0);
  ASSERT_TRUE(write_file_bytes(real + "a.jpg", "only copy"));
  const std::string target_folder = dir.path() + spelling;
  File_view_recorder view;
  EXPECT_EQ(paste_files({real + "a.jpg"}, copy, target_folder), copy ? 1 : 0);
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_EQ(read_file_bytes(real + "a.jpg"), "only copy");
  EXPECT_EQ(exists(real + "a_copy.jpg"), copy);
  if (copy) {
    EXPECT_EQ(read_file_bytes(real + "a_copy.jpg"), "only copy");
  }
}

INSTANTIATE_TEST_SUITE_P(Spellings, PasteSameFile,
                         ::testing::Combine(::testing::Values("link/", "real//", "real/./",
                                                              "link/../real/"),
                                            ::testing::Bool()));

TEST(PasteFiles, HardLinkIsTheSameFile) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string from = dir.file("from/"), to = dir.file("to/");
  ASSERT_EQ(mkdir(from.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(to.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(from + "a.jpg", "bytes"));
  ASSERT_EQ(link((from + "a.jpg").c_str(), (to + "a.jpg").c_str()), 0);
  File_view_recorder view;
  paste_files({from + "a.jpg"}, true, to);
  EXPECT_EQ(read_file_bytes(to + "a.jpg"), "bytes");
  EXPECT_EQ(read_file_bytes(to + "a_copy.jpg"), "bytes");
  // Moved onto itself: nothing to do, both names stay.
  EXPECT_EQ(paste_files({from + "a.jpg"}, false, to), 0);
  EXPECT_EQ(read_file_bytes(from + "a.jpg"), "bytes");
  EXPECT_EQ(read_file_bytes(to + "a.jpg"), "bytes");
  EXPECT_FALSE(exists(to + "a_copy2.jpg"));
}

TEST(PasteFiles, UnwritableTargetKeepsTheCutSource) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string to = dir.file("to/");
  ASSERT_EQ(mkdir(to.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), "keep"));
  ASSERT_EQ(chmod(dir.file("a.jpg").c_str(), 0644), 0);
  {
    Read_only_dir ro(to);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    File_view_recorder view;
    EXPECT_EQ(paste_files({dir.file("a.jpg")}, false, to), 0);
  }
  EXPECT_EQ(read_file_bytes(dir.file("a.jpg")), "keep");
  EXPECT_FALSE(exists(to + "a.jpg"));
  EXPECT_EQ(messages.alerts.size(), 1u);
}

TEST(PasteFiles, NothingToPasteOrNoTargetDoesNothing) {
  Temp_dir dir;
  Scripted_messages messages;
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), "a"));
  File_view_recorder view;
  EXPECT_EQ(paste_files({}, true, dir.path()), 0);
  EXPECT_EQ(paste_files({dir.file("a.jpg")}, true, ""), 0);
  EXPECT_TRUE(view.events.empty());
}

}  // namespace

namespace {

// The grid failing to follow a pasted file stays inside the paste: the copy is made and
// counted, the user reads one alert and the next file is still pasted.
struct Grid_failure_case {
  const char* name;
  bool copy;
  bool removed_throws;  // else the announcement of the written file throws
};

class PasteGridFailure : public ::testing::TestWithParam<Grid_failure_case> {};

TEST_P(PasteGridFailure, IsAlertedOnceAndThePasteGoesOn) {
  const Grid_failure_case c = GetParam();
  Temp_dir dir;
  Scripted_messages messages;
  const std::string from = dir.file("from/"), to = dir.file("to/");
  ASSERT_EQ(mkdir(from.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(to.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(from + "a.jpg", "a"));
  ASSERT_TRUE(write_file_bytes(from + "b.jpg", "b"));
  File_view_recorder view(to);
  const auto fail = [](const std::string&) { throw std::runtime_error("grid failed"); };
  if (c.removed_throws)
    view.answers().file_removed = fail;
  else
    view.answers().file_written = fail;
  int written = 0;
  EXPECT_NO_THROW(written = paste_files({from + "a.jpg", from + "b.jpg"}, c.copy, to));
  EXPECT_EQ(written, 2);
  EXPECT_EQ(read_file_bytes(to + "a.jpg"), "a");
  EXPECT_EQ(read_file_bytes(to + "b.jpg"), "b");
  EXPECT_EQ(exists(from + "a.jpg"), c.copy);
  EXPECT_EQ(messages.alerts, std::vector<std::string>(2, "grid failed"));
}

INSTANTIATE_TEST_SUITE_P(Answers, PasteGridFailure,
                         ::testing::Values(Grid_failure_case{"CopyWritten", true, false},
                                           Grid_failure_case{"CutWritten", false, false},
                                           Grid_failure_case{"CutRemoved", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

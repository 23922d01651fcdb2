#include "browser/browser_state.h"

#include <FL/Fl_Preferences.H>
#include <gtest/gtest.h>

#include <memory>

#include "browser/dir_history.h"
#include "tests/support/temp_dir.h"

namespace {

class Browser_state : public ::testing::Test {
 protected:
  std::unique_ptr<Fl_Preferences> open_store() {
    return std::make_unique<Fl_Preferences>(m_dir.path().c_str(), "veltrum.test", "state");
  }
  Temp_dir m_dir;
};

TEST_F(Browser_state, nothing_stored_gives_nothing) {
  auto store = open_store();
  EXPECT_FALSE(read_last_folder(*store));
  EXPECT_TRUE(read_recent_dirs(*store).empty());
}

TEST_F(Browser_state, survives_a_restart) {
  const std::vector<std::string> recent = {"/a/", "/b b/", "/c%s/", "/d&e/"};
  {
    auto store = open_store();
    write_browser_state(*store, "/last/", recent);
  }  // the store writes its file here
  auto store = open_store();
  EXPECT_EQ(read_last_folder(*store), "/last/");
  EXPECT_EQ(read_recent_dirs(*store), recent);
}

TEST_F(Browser_state, full_list_survives_in_order) {
  std::vector<std::string> recent;
  for (std::size_t i = 0; i < Recent_dirs::max_recent; ++i)
    recent.push_back("/folder" + std::to_string(i) + "/");
  {
    auto store = open_store();
    write_browser_state(*store, "/last/", recent);
  }
  auto store = open_store();
  EXPECT_EQ(read_recent_dirs(*store), recent);
}

TEST_F(Browser_state, control_characters_and_group_syntax_in_paths_survive) {
  const std::string odd = "/a\nb]\r\n[RecentDirs]\nDirectory0:/x/\t\\c/";
  {
    auto store = open_store();
    write_browser_state(*store, odd, {odd, "/plain/"});
  }
  auto store = open_store();
  EXPECT_EQ(read_last_folder(*store), odd);
  EXPECT_EQ(read_recent_dirs(*store), (std::vector<std::string>{odd, "/plain/"}));
}

TEST_F(Browser_state, long_paths_are_kept_whole) {
  const std::string long_path = "/" + std::string(3000, 'x') + "/";
  {
    auto store = open_store();
    write_browser_state(*store, long_path, {long_path});
  }
  auto store = open_store();
  EXPECT_EQ(read_last_folder(*store), long_path);
  EXPECT_EQ(read_recent_dirs(*store), std::vector<std::string>{long_path});
}

TEST_F(Browser_state, empty_slots_are_skipped_and_empty_last_folder_counts) {
  auto store = open_store();
  {
    Fl_Preferences group(*store, "RecentDirs");
    group.set("Directory0", "_____");
    group.set("Directory2", "/two/");
    group.set("Directory7", "/seven/");
    group.set("Directory8", "/beyond/");
  }
  {
    Fl_Preferences group(*store, "LastVisitedDir");
    group.set("LVD", "");
  }
  EXPECT_EQ(read_recent_dirs(*store), (std::vector<std::string>{"/two/", "/seven/"}));
  EXPECT_EQ(read_last_folder(*store), "");
  {
    Fl_Preferences group(*store, "LastVisitedDir");
    group.set("LVD", "_____");
  }
  EXPECT_FALSE(read_last_folder(*store));
}

TEST_F(Browser_state, fewer_folders_leave_later_keys) {
  auto store = open_store();
  write_browser_state(*store, "/x/", {"/a/", "/b/", "/c/"});
  write_browser_state(*store, "/x/", {"/z/"});
  EXPECT_EQ(read_recent_dirs(*store), (std::vector<std::string>{"/z/", "/b/", "/c/"}));
}

}  // namespace

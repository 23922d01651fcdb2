#include "browser/dir_history.h"

#include <gtest/gtest.h>

namespace {

using Entries = std::vector<std::string>;

TEST(Dir_history, step_back_then_enter_keeps_skipped_entries) {
  Dir_history history;
  history.record("/P/");
  history.record("/Q/");
  history.record("/R/");
  EXPECT_EQ(history.back(), "/Q/");
  history.record("/S/");
  EXPECT_EQ(history.entries(), (Entries{"/P/", "/Q/", "/R/", "/S/"}));
  EXPECT_EQ(history.pos(), 3u);
  EXPECT_FALSE(history.can_go_forward());
  EXPECT_EQ(history.back(), "/R/");
}

TEST(Dir_history, back_and_forward_stop_at_the_ends) {
  Dir_history history;
  EXPECT_FALSE(history.back());
  EXPECT_FALSE(history.forward());
  EXPECT_FALSE(history.can_go_back());
  history.record("/A/");
  EXPECT_FALSE(history.can_go_back());
  history.record("/B/");
  EXPECT_TRUE(history.can_go_back());
  EXPECT_EQ(history.back(), "/A/");
  EXPECT_FALSE(history.back());
  EXPECT_EQ(history.pos(), 0u);
  EXPECT_TRUE(history.can_go_forward());
  EXPECT_EQ(history.forward(), "/B/");
  EXPECT_FALSE(history.forward());
  EXPECT_EQ(history.pos(), 1u);
}

TEST(Dir_history, same_folder_twice_is_two_entries) {
  Dir_history history;
  history.record("/A/");
  history.record("/A/");
  EXPECT_EQ(history.entries().size(), 2u);
  EXPECT_EQ(history.back(), "/A/");
}

TEST(Recent_dirs, ninth_folder_drops_the_oldest) {
  Recent_dirs recent;
  Entries expected;
  for (int i = 0; i < 9; ++i) {
    EXPECT_TRUE(recent.add("/f" + std::to_string(i) + "/"));
    expected.push_back("/f" + std::to_string(i) + "/");
  }
  expected.erase(expected.begin());
  EXPECT_EQ(recent.entries(), expected);
}

TEST(Recent_dirs, folder_held_already_changes_nothing) {
  Recent_dirs recent;
  recent.add("/a/");
  recent.add("/b/");
  EXPECT_FALSE(recent.add("/a/"));
  EXPECT_EQ(recent.entries(), (Entries{"/a/", "/b/"}));
  EXPECT_TRUE(recent.add("/A/"));  // case-sensitive
}

}  // namespace

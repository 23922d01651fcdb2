// The folder list, drive list and location field inside the main window: start-up from
// the stored state, the navigation buttons and menu items, and Quit storing the state.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Menu_Bar.H>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "browser/dir_view.h"
#include "browser/drive_view.h"
#include "browser/location_field.h"
#include "browser/main_menu.h"
#include "browser/main_window_drv.h"
#include "browser/program_exit.h"
#include "core/app_globals.h"
#include "core/preferences.h"
#include "tests/support/temp_dir.h"

namespace {

using Folders = std::vector<std::string>;

std::vector<int> g_exit_codes;
void record_exit(int code) { g_exit_codes.push_back(code); }

class Main_window_folders : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a", "a/b", "c"}) ASSERT_EQ(mkdir(m_dir.file(name).c_str(), 0755), 0);
    g_exit_codes.clear();
    m_previous_exit = set_exit_function(record_exit);
    open_store();
  }
  void TearDown() override {
    close_window();
    g_preferences = nullptr;
    m_store.reset();
    set_exit_function(m_previous_exit);
  }

  void open_store() {
    g_preferences = nullptr;
    m_store.reset();
    m_store = std::make_unique<Preferences>(m_store_dir.path().c_str(), k_preferences_vendor,
                                            k_preferences_application);
    g_preferences = m_store.get();
  }
  void open_window() {
    m_window = new MainWindowDrv(920, 600, "veltrum");
    m_tracker = std::make_unique<Fl_Widget_Tracker>(m_window);
  }
  void close_window() {
    if (m_tracker && !m_tracker->deleted()) delete m_window;
    m_tracker.reset();
    m_window = nullptr;
  }
  void store(const char* group, const char* key, const std::string& value) {
    Preferences g(*g_preferences, group);
    g.set(key, value.c_str());
  }
  std::string stored(const char* group, const char* key) {
    Preferences g(*g_preferences, group);
    char* text = nullptr;
    g.get(key, text, "(absent)");
    std::string value = text ? text : "";
    free(text);
    return value;
  }
  Folders recent_labels() {
    Folders labels;
    const int sub = g_menu_bar->find_index("&File/Recent Directories");
    for (const Fl_Menu_Item* item = &g_menu_bar->menu()[sub + 1]; item->label(); ++item)
      labels.push_back(item->label());
    return labels;
  }
  bool active(const char* path) {
    const Fl_Menu_Item* item = find_menu_item(path);
    return item && item->active();
  }

  Temp_dir m_dir, m_store_dir;
  std::unique_ptr<Preferences> m_store;
  MainWindowDrv* m_window = nullptr;
  std::unique_ptr<Fl_Widget_Tracker> m_tracker;
  Exit_fn m_previous_exit = nullptr;
};

TEST_F(Main_window_folders, builder_fills_the_globals) {
  open_window();
  ASSERT_NE(g_dir_view, nullptr);
  ASSERT_NE(g_drive_view, nullptr);
  ASSERT_NE(g_location_field, nullptr);
  EXPECT_EQ(g_dir_view->window(), m_window);
  EXPECT_EQ(g_dir_view->type(), FL_HOLD_BROWSER);
  EXPECT_EQ(g_drive_view->textcolor(), FL_WHITE);
  EXPECT_GE(g_drive_view->size(), 1);
  EXPECT_TRUE(g_dir_view->current_dir().empty());
  close_window();
  EXPECT_EQ(g_dir_view, nullptr);
  EXPECT_EQ(g_drive_view, nullptr);
  EXPECT_EQ(g_location_field, nullptr);
}

TEST_F(Main_window_folders, stored_state_is_shown_at_start) {
  store("RecentDirs", "Directory0", m_dir.path() + "c/");
  store("RecentDirs", "Directory1", "_____");
  store("RecentDirs", "Directory2", m_dir.path() + "a");
  store("LastVisitedDir", "LVD", m_dir.path() + "a");
  open_window();
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path() + "a/");
  EXPECT_EQ(std::string(g_location_field->value()), m_dir.path() + "a/");
  EXPECT_EQ(recent_labels(), (Folders{m_dir.path() + "c/", m_dir.path() + "a/"}));
  EXPECT_TRUE(active("&File/Recent Directories"));
  EXPECT_TRUE(active("&View/Refresh"));
  EXPECT_FALSE(active("&View/Go Backward"));
}

TEST_F(Main_window_folders, first_start_shows_no_folder) {
  open_window();
  EXPECT_TRUE(g_dir_view->current_dir().empty());
  EXPECT_FALSE(active("&File/Recent Directories"));
  EXPECT_TRUE(recent_labels().empty());
}

TEST_F(Main_window_folders, buttons_and_menu_items_navigate) {
  open_window();
  g_dir_view->go_to(m_dir.path() + "a/b", true, true);
  m_window->up_button()->do_callback();
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path() + "a/");
  m_window->back_button()->do_callback();
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path() + "a/b/");
  m_window->forward_button()->do_callback();
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path() + "a/");
  const std::size_t visits = g_dir_view->history().entries().size();
  m_window->refresh_button()->do_callback();
  EXPECT_EQ(g_dir_view->history().entries().size(), visits);
  g_menu_bar->picked(find_menu_item("&View/Refresh"));
  EXPECT_EQ(g_dir_view->history().entries().size(), visits + 1);
  g_menu_bar->picked(find_menu_item("&View/Go Backward"));
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path() + "a/");
  g_menu_bar->picked(find_menu_item("&View/Go Up"));
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path());
  g_menu_bar->picked(find_menu_item("&View/Go Backward"));
  g_menu_bar->picked(find_menu_item("&View/Go Forward"));
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path());
}

TEST_F(Main_window_folders, recent_item_and_location_field_go_to_folders) {
  open_window();
  g_location_field->value((m_dir.path() + "c").c_str());
  Fl::e_keysym = FL_Enter;
  g_location_field->handle(FL_KEYDOWN);
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path() + "c/");
  g_dir_view->add_recent_folder(m_dir.path() + "a");
  const int sub = g_menu_bar->find_index("&File/Recent Directories");
  g_menu_bar->picked(&g_menu_bar->menu()[sub + 2]);
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path() + "a/");
}

TEST_F(Main_window_folders, quit_stores_the_state_and_survives_a_restart) {
  open_window();
  Folders folders;
  for (int i = 0; i < 9; ++i) folders.push_back(m_dir.path() + "r" + std::to_string(i) + "/");
  for (const std::string& f : folders) g_dir_view->add_recent_folder(f);
  g_dir_view->go_to(m_dir.path() + "a", true, true);
  g_menu_bar->picked(find_menu_item("&File/&Quit"));
  EXPECT_EQ(g_exit_codes, std::vector<int>{0});
  EXPECT_TRUE(m_tracker->deleted());
  open_store();  // a new run reads the file written at Quit
  EXPECT_EQ(stored("LastVisitedDir", "LVD"), m_dir.path() + "a/");
  open_window();
  Folders expected(folders.begin() + 2, folders.end());
  expected.push_back(m_dir.path() + "a/");
  EXPECT_EQ(g_dir_view->recent_dirs().entries(), expected);
  EXPECT_EQ(recent_labels(), expected);
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path() + "a/");
}

TEST_F(Main_window_folders, quit_before_any_folder_starts_the_next_run_at_the_root) {
  open_window();
  m_window->quit();
  open_store();
  EXPECT_EQ(stored("LastVisitedDir", "LVD"), "");
  open_window();
  EXPECT_EQ(g_dir_view->current_dir(), "/");
}

TEST_F(Main_window_folders, only_quit_stores_the_state) {
  store("LastVisitedDir", "LVD", m_dir.path() + "c/");
  open_window();
  g_dir_view->go_to(m_dir.path() + "a", true, true);
  g_drive_view->select(1);
  g_drive_view->parent()->remove(g_drive_view);
  delete g_drive_view;
  g_drive_view = nullptr;
  EXPECT_EQ(stored("LastVisitedDir", "LVD"), m_dir.path() + "c/");
  close_window();  // deleted without Quit
  EXPECT_EQ(stored("LastVisitedDir", "LVD"), m_dir.path() + "c/");
}

}  // namespace

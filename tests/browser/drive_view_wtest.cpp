#include <FL/Fl.H>
#include <FL/Fl_File_Icon.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "browser/dir_view.h"
#include "browser/drive_view.h"
#include "core/preferences.h"
#include "tests/support/folder_menu.h"
#include "tests/support/temp_dir.h"

namespace {

// Exposes the browser's own look-up of the line under a point.
struct Probe : Drive_view {
  using Drive_view::Drive_view;
  int line_at(int y) { return lineno(find_item(y)); }
};

class Drive_view_test : public ::testing::Test {
 protected:
  void SetUp() override {
    m_store = std::make_unique<Preferences>(Fl_Preferences::USER, k_preferences_vendor,
                                            k_preferences_application);
    g_preferences = m_store.get();
    m_window = std::make_unique<Fl_Window>(400, 500);
    m_menu = new Folder_menu;
    m_drives = new Probe(0, 25, 400, 150);
    m_view = new Dir_view(0, 175, 400, 325);
    m_window->end();
    m_drives->type(FL_HOLD_BROWSER);
    m_view->attach(m_menu, nullptr);
    m_view->set_scan([this](const std::string& folder) { m_scans.push_back(folder); });
    m_drives->set_target(m_view);
    m_drives->fill({{"(/)", "/", Drive_kind::fixed},
                    {"CAMERA(" + m_dir.path() + ")", m_dir.path(), Drive_kind::removable},
                    {"nas:/x(/mnt/nas)", "/mnt/nas/", Drive_kind::network},
                    {"Desktop", "/home/ann/Desktop/", Drive_kind::desktop},
                    {"Documents", "/home/ann/Documents/", Drive_kind::documents}});
  }
  void TearDown() override {
    m_window.reset();
    g_preferences = nullptr;
  }

  Temp_dir m_dir;
  std::unique_ptr<Preferences> m_store;
  std::unique_ptr<Fl_Window> m_window;
  Folder_menu* m_menu = nullptr;
  Probe* m_drives = nullptr;
  Dir_view* m_view = nullptr;
  std::vector<std::string> m_scans;
};

TEST_F(Drive_view_test, lines_follow_the_entries_with_an_icon_each) {
  ASSERT_EQ(m_drives->size(), 5);
  EXPECT_STREQ(m_drives->text(1), "(/)");
  EXPECT_STREQ(m_drives->text(4), "Desktop");
  EXPECT_STREQ(m_drives->text(5), "Documents");
  EXPECT_EQ(m_drives->folder_of("Desktop"), "/home/ann/Desktop/");
  EXPECT_EQ(m_drives->folder_of("nowhere"), "");
  for (int i = 1; i <= m_drives->size(); ++i) {
    auto* icon = static_cast<Fl_File_Icon*>(m_drives->data(i));
    ASSERT_NE(icon, nullptr);
    EXPECT_GT(icon->size(), 0) << "the embedded picture was not loaded for line " << i;
    EXPECT_NE(icon, m_drives->data(i == 1 ? 2 : 1));
  }
}

TEST_F(Drive_view_test, icons_are_not_taken_for_other_files) {
  for (const char* name : {"/tmp/a.jpg", "/tmp/b", "/tmp/c.txt"}) {
    const Fl_File_Icon* found = Fl_File_Icon::find(name, Fl_File_Icon::PLAIN);
    for (int i = 1; i <= m_drives->size(); ++i) EXPECT_NE(found, m_drives->data(i)) << name;
  }
}

TEST_F(Drive_view_test, selecting_a_line_goes_there_and_enters_it_in_recent_folders) {
  m_drives->select(2);
  m_drives->select();
  EXPECT_EQ(m_view->current_dir(), m_dir.path());
  EXPECT_EQ(m_scans, std::vector<std::string>{m_dir.path()});
  EXPECT_EQ(m_view->history().entries(), std::vector<std::string>{m_dir.path()});
  EXPECT_EQ(m_view->recent_dirs().entries(), std::vector<std::string>{m_dir.path()});
  EXPECT_EQ(m_menu->recent_labels(), std::vector<std::string>{m_dir.path()});
}

TEST_F(Drive_view_test, nothing_selected_goes_nowhere) {
  m_drives->select();
  EXPECT_TRUE(m_view->current_dir().empty());
}

TEST_F(Drive_view_test, double_click_goes_and_single_click_only_selects) {
  m_window->show();
  m_window->redraw();
  Fl::flush();
  int row = 0;
  for (int y = m_drives->y(); y < m_drives->y() + m_drives->h() && !row; ++y)
    if (m_drives->line_at(y) == 2) row = y;
  ASSERT_GT(row, 0);
  Fl::e_x = m_drives->x() + 30;
  Fl::e_y = row;
  Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
  Fl::e_state = FL_BUTTON1;
  Fl::e_is_click = 1;
  Fl::e_clicks = 0;
  m_drives->handle(FL_PUSH);
  m_drives->handle(FL_RELEASE);
  EXPECT_EQ(m_drives->value(), 2);
  EXPECT_TRUE(m_view->current_dir().empty());
  Fl::e_clicks = 1;
  m_drives->handle(FL_PUSH);
  m_drives->handle(FL_RELEASE);
  EXPECT_EQ(m_view->current_dir(), m_dir.path());
  Fl::e_state = 0;
  m_window->hide();
}

TEST_F(Drive_view_test, the_running_system_gives_the_root_first_and_the_places_last) {
  Drive_view drives(0, 0, 100, 100);
  ASSERT_GE(drives.size(), 3);
  EXPECT_EQ(drives.folder_of(drives.text(1)), "/");
  EXPECT_STREQ(drives.text(drives.size() - 1), "Desktop");
  EXPECT_STREQ(drives.text(drives.size()), "Documents");
  EXPECT_EQ(drives.folder_of("Desktop"), std::string(std::getenv("HOME")) + "/Desktop/");
}

TEST_F(Drive_view_test, missing_home_leaves_out_the_places) {
  const std::string home = std::getenv("HOME");
  unsetenv("HOME");
  Drive_view drives(0, 0, 100, 100);
  setenv("HOME", home.c_str(), 1);
  ASSERT_GE(drives.size(), 1);
  EXPECT_TRUE(drives.folder_of("Desktop").empty());
  EXPECT_TRUE(drives.folder_of("Documents").empty());
}

}  // namespace

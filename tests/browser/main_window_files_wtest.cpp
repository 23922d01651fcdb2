// The main window's file commands on real folders, with scripted answers.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "browser/dir_view.h"
#include "browser/main_menu.h"
#include "browser/main_window_drv.h"
#include "browser/new_folder_dlg.h"
#include "browser/program_exit.h"
#include "core/app_globals.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class Main_window_files : public ::testing::Test {
 protected:
  void SetUp() override {
    window = new MainWindowDrv(920, 600, "veltrum");
    ASSERT_NE(g_dir_view, nullptr);
    g_dir_view->go_to(m_dir.path(), false, true);
  }
  void TearDown() override { delete window; }
  // A single click on the folder list's line with that text.
  void click_line(const std::string& text) {
    for (int i = 1; i <= g_dir_view->size(); ++i)
      if (text == g_dir_view->text(i)) {
        g_dir_view->select(i);
        g_dir_view->select_line();
        return;
      }
    FAIL() << "no line " << text;
  }

  Temp_dir m_dir;
  Scripted_messages m_messages;
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
};

TEST_F(Main_window_files, DeleteDirectoryRemovesTheClickedEmptyFolder) {
  ASSERT_EQ(mkdir(m_dir.file("empty").c_str(), 0755), 0);
  g_dir_view->go_to(m_dir.path(), false, true);
  click_line("empty/");
  window->delete_directory();
  EXPECT_FALSE(exists(m_dir.file("empty")));
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_EQ(g_dir_view->current_dir(), m_dir.path());
  for (int i = 1; i <= g_dir_view->size(); ++i) EXPECT_STRNE(g_dir_view->text(i), "empty/");
}

TEST_F(Main_window_files, DeleteDirectoryKeepsAFolderWithFiles) {
  ASSERT_EQ(mkdir(m_dir.file("full").c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(m_dir.file("full/a.jpg"), "a"));
  g_dir_view->go_to(m_dir.path(), false, true);
  click_line("full/");
  window->delete_directory();
  EXPECT_EQ(m_messages.alerts,
            std::vector<std::string>{"Selected directory is not empty or protected."});
  EXPECT_EQ(read_file_bytes(m_dir.file("full/a.jpg")), "a");
}

TEST_F(Main_window_files, DeleteDirectoryWithoutAClickedFolderDoesNothing) {
  window->delete_directory();
  EXPECT_TRUE(exists(m_dir.path()));
  EXPECT_TRUE(m_messages.alerts.empty());
}

TEST_F(Main_window_files, NewDirectoryShowsTheDialogWithItsDefault) {
  NewFolderDlgDrv dlg(400, 130, "Create New Directory");
  NewFolderDlgDrv* previous = g_new_folder_dialog;
  g_new_folder_dialog = &dlg;
  window->new_directory();
  EXPECT_TRUE(dlg.shown());
  dlg.create();
  EXPECT_TRUE(exists(m_dir.file("New Directory")));
  g_new_folder_dialog = previous;
}

TEST_F(Main_window_files, CommandsWithoutASelectionDoNothing) {
  ASSERT_TRUE(write_file_bytes(m_dir.file("a.jpg"), "a"));
  window->delete_images();
  window->cut_copy(true);
  window->paste();
  window->rotate_images(90);
  window->flip_images('x');
  window->create_hdr(false);
  window->fuse_exposures();
  window->resize_images();
  window->crop_images();
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_TRUE(m_messages.questions.empty());
  EXPECT_TRUE(window->clipboard().empty());
  const Fl_Menu_Item* paste = find_menu_item("&Edit/Paste");
  ASSERT_NE(paste, nullptr);
  EXPECT_FALSE(paste->active());
  EXPECT_EQ(read_file_bytes(m_dir.file("a.jpg")), "a");
}

}  // namespace

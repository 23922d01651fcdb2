// The main window's file commands driven through the thumbnail grid's selection.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Progress.H>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "browser/browser_seam_setup.h"
#include "browser/dir_view.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "browser/main_menu.h"
#include "browser/main_window_drv.h"
#include "browser/program_exit.h"
#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/hdr_image.h"
#include "core/selected_file.h"
#include "tests/support/fake_browser.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/png_fixture.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class Main_window_grid : public ::testing::Test {
 protected:
  void SetUp() override {
    install_browser_seam();  // the tiles follow pasted, turned and mirrored files
    // A 2 x 1 picture: red on the left, blue on the right.
    const uint8_t rgb[] = {255, 0, 0, 0, 0, 255};
    Png_layout layout;
    layout.width = 2;
    layout.height = 1;
    write_png(m_dir.file("a.png"), layout, rgb);
    ASSERT_NO_FATAL_FAILURE(open_main_window_on(m_dir.path(), window));
    ASSERT_EQ(g_icon_view->icons.size(), 1u);
    g_icon_view->select_all();
  }
  void TearDown() override { delete window; }

  Fake_browser m_browser;
  Temp_dir m_dir;
  Scripted_messages m_messages;
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
};

TEST_F(Main_window_grid, SelectionReachesTheCommands) {
  const std::vector<Selected_file> files = window->selected_files();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].path, m_dir.file("a.png"));
  EXPECT_EQ(files[0].width, 2u);
}

TEST_F(Main_window_grid, DeleteCancelledKeepsFileAndTile) {
  m_messages.answers = {0};
  window->delete_images();
  EXPECT_TRUE(exists(m_dir.file("a.png")));
  EXPECT_EQ(g_icon_view->icons.size(), 1u);
  // The question names the file, and Return keeps it as Escape does.
  EXPECT_EQ(m_messages.questions, std::vector<std::string>{"Delete 1 image?\na.png"});
  EXPECT_EQ(m_messages.buttons, (std::vector<std::vector<std::string>>{{"Cancel", "Delete"}}));
  EXPECT_EQ(m_messages.return_keys, std::vector<Return_key>{Return_key::first_button});
}

TEST_F(Main_window_grid, DeleteConfirmedRemovesFileAndTile) {
  m_messages.answers = {1};
  window->delete_images();
  EXPECT_FALSE(exists(m_dir.file("a.png")));
  EXPECT_TRUE(g_icon_view->icons.empty());
  EXPECT_TRUE(g_icon_view->selection.empty());
}

TEST_F(Main_window_grid, CopyThenPasteAddsACopyTile) {
  window->cut_copy(true);
  window->paste();
  EXPECT_TRUE(exists(m_dir.file("a_copy.png")));
  EXPECT_EQ(read_file_bytes(m_dir.file("a_copy.png")), read_file_bytes(m_dir.file("a.png")));
  EXPECT_EQ(g_icon_view->icons.size(), 2u);
}

// Cut, then Paste into the same folder: the file keeps its name and its one tile, and the
// Cut can still be pasted elsewhere.
TEST_F(Main_window_grid, CutPastedIntoItsOwnFolderDoesNothing) {
  const std::string bytes = read_file_bytes(m_dir.file("a.png"));
  window->cut_copy(false);
  window->paste();
  EXPECT_EQ(read_file_bytes(m_dir.file("a.png")), bytes);
  EXPECT_FALSE(exists(m_dir.file("a_copy.png")));
  ASSERT_EQ(g_icon_view->icons.size(), 1u);
  EXPECT_EQ(g_icon_view->icons[0]->path, m_dir.file("a.png"));
  EXPECT_EQ(window->clipboard(), std::vector<std::string>{m_dir.file("a.png")});
  ASSERT_EQ(mkdir(m_dir.file("other").c_str(), 0755), 0);
  g_dir_view->go_to(m_dir.file("other/"), false, true);
  window->paste();
  EXPECT_EQ(read_file_bytes(m_dir.file("other/a.png")), bytes);
  EXPECT_FALSE(exists(m_dir.file("a.png")));
  EXPECT_TRUE(window->clipboard().empty());
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_TRUE(m_messages.questions.empty());
}

// A Copy stays on the clipboard: pasted once here, it can be pasted again elsewhere.
TEST_F(Main_window_grid, CopyCanBePastedAgainIntoAnotherFolder) {
  ASSERT_EQ(mkdir(m_dir.file("other").c_str(), 0755), 0);
  window->cut_copy(true);
  window->paste();
  EXPECT_TRUE(exists(m_dir.file("a_copy.png")));
  const Fl_Menu_Item* paste = find_menu_item("&Edit/Paste");
  ASSERT_NE(paste, nullptr);
  EXPECT_TRUE(paste->active());
  EXPECT_EQ(window->clipboard(), std::vector<std::string>{m_dir.file("a.png")});

  g_dir_view->go_to(m_dir.file("other/"), false, true);
  window->paste();
  EXPECT_EQ(read_file_bytes(m_dir.file("other/a.png")), read_file_bytes(m_dir.file("a.png")));
  EXPECT_TRUE(exists(m_dir.file("a.png")));
  EXPECT_TRUE(paste->active());
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_TRUE(m_messages.questions.empty());
}

// A file the folder will not let go of keeps its tile (the grid must not report it gone)
// and the user is told which one.
TEST_F(Main_window_grid, FileThatCannotBeDeletedKeepsItsTileWithOneAlert) {
  const std::string folder = m_dir.file("locked/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(folder + "b.png", read_file_bytes(m_dir.file("a.png"))));
  g_dir_view->go_to(folder, false, true);
  g_icon_view->load_directory(folder);
  ASSERT_EQ(g_icon_view->icons.size(), 1u);
  g_icon_view->select_all();
  Read_only_dir locked(folder);
  if (!locked.active()) GTEST_SKIP() << "the folder could not be made read-only";
  m_messages.answers = {1};  // "Delete"
  window->delete_images();
  EXPECT_TRUE(exists(folder + "b.png"));
  ASSERT_EQ(g_icon_view->icons.size(), 1u);
  EXPECT_EQ(g_icon_view->icons[0]->path, folder + "b.png");
  ASSERT_EQ(m_messages.alerts.size(), 1u);
  EXPECT_NE(m_messages.alerts[0].find(folder + "b.png"), std::string::npos) << m_messages.alerts[0];
}

TEST_F(Main_window_grid, RotateRewritesTheSelectedFile) {
  window->rotate_images(90);
  Hdr_image rotated(m_dir.file("a.png"));
  EXPECT_EQ(rotated.width(), 1);
  EXPECT_EQ(rotated.height(), 2);
  EXPECT_TRUE(m_messages.alerts.empty());
}

// HDR creation reads the chosen files out of the grid's tiles, by path.
TEST_F(Main_window_grid, TheSeamDescribesTheTileOfAPath) {
  // A backslash is part of a file's name, not a separator.
  const std::string odd = m_dir.file("b\\c.png");
  ASSERT_TRUE(write_file_bytes(odd, read_file_bytes(m_dir.file("a.png"))));
  g_icon_view->load_directory(m_dir.path());
  ASSERT_EQ(g_icon_view->icons.size(), 2u);
  for (const std::string& path : {m_dir.file("a.png"), odd}) {
    Selected_file file;
    ASSERT_TRUE(describe_tile(path, file)) << path;
    EXPECT_EQ(file.path, path);
    EXPECT_EQ(file.folder + file.name, path);
    EXPECT_EQ(file.folder, m_dir.path());
    EXPECT_EQ(file.type, uint32_t(k_type_png));
    EXPECT_EQ(file.width, 2);
    EXPECT_EQ(file.height, 1);
    EXPECT_GT(file.thumb_w, 0u);
    EXPECT_GT(file.thumb_h, 0u);
    EXPECT_EQ(file.thumb_pixels.size(), size_t(file.thumb_w) * file.thumb_h * 3);
  }
  Selected_file none;
  EXPECT_FALSE(describe_tile(m_dir.file("missing.png"), none));
  EXPECT_FALSE(describe_tile(m_dir.path() + "other/a.png", none));
  EXPECT_NE(keep_tiles(), nullptr);
}

// An HDR run keeps the grid's removed tiles; the main window may be closed and deleted
// while it runs. Its end must not touch the freed grid (run under ASan).
TEST_F(Main_window_grid, TilesKeptPastTheGridsDeletionEndQuietly) {
  std::shared_ptr<void> kept = keep_tiles();
  ASSERT_NE(kept, nullptr);
  ASSERT_EQ(std::remove(m_dir.file("a.png").c_str()), 0);
  file_removed(m_dir.file("a.png"));  // the tile waits for the run to end
  EXPECT_TRUE(g_icon_view->icons.empty());
  delete window;
  window = nullptr;
  EXPECT_EQ(g_icon_view, nullptr);
  kept.reset();
}

// A backslash is part of a file's name: its tile comes with a pasted copy, goes with a
// Cut source and with a deleted file, and no other tile is touched.
class Main_window_backslash : public Main_window_grid, public ::testing::WithParamInterface<bool> {
 protected:
  // The grid's tile of path, or null.
  static const Icon* tile(const std::string& path) {
    for (const Icon* t : g_icon_view->icons)
      if (t->path == path) return t;
    return nullptr;
  }
  void select_only(const std::string& path) {
    g_icon_view->deselect_all();
    for (Icon* t : g_icon_view->icons)
      if (t->path == path) g_icon_view->add_to_selection(t);
    ASSERT_EQ(g_icon_view->selection.size(), 1u) << path;
  }
};

TEST_P(Main_window_backslash, PasteAndDeleteKeepTheTilesInStep) {
  const bool copy = GetParam();
  // A Cut pasted into its own folder leaves the file where it is.
  const std::string odd = m_dir.file("b\\c.png");
  const std::string pasted = copy ? m_dir.file("b\\c_copy.png") : odd;
  ASSERT_TRUE(write_file_bytes(odd, read_file_bytes(m_dir.file("a.png"))));
  g_icon_view->load_directory(m_dir.path());
  ASSERT_EQ(g_icon_view->icons.size(), 2u);
  select_only(odd);
  window->cut_copy(copy);
  window->paste();
  ASSERT_TRUE(exists(pasted));
  EXPECT_TRUE(exists(odd));
  EXPECT_NE(tile(pasted), nullptr);
  EXPECT_NE(tile(odd), nullptr);
  EXPECT_FALSE(exists(m_dir.file("c.png")));  // the name is not cut at its backslash

  select_only(pasted);
  m_messages.answers = {1};  // "Delete"
  window->delete_images();
  EXPECT_FALSE(exists(pasted));
  EXPECT_EQ(tile(pasted), nullptr);
  EXPECT_NE(tile(m_dir.file("a.png")), nullptr);
  EXPECT_EQ(g_icon_view->icons.size(), copy ? 2u : 1u);
  EXPECT_TRUE(m_messages.alerts.empty());
}

INSTANTIATE_TEST_SUITE_P(CopyAndCut, Main_window_backslash, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Copy" : "Cut"; });

// The tile follows a turned or mirrored file, and the status bar is gone afterwards.
struct Orient_case {
  const char* name;
  bool rotate;
  bool portrait;   // the thumbnail higher than wide
  bool red_first;  // the thumbnail's first pixel more red than blue
};

class Main_window_orient : public Main_window_grid,
                           public ::testing::WithParamInterface<Orient_case> {};

TEST_P(Main_window_orient, TheTileShowsTheNewPicture) {
  const Orient_case& c = GetParam();
  if (c.rotate)
    window->rotate_images(90);
  else
    window->flip_images('x');
  ASSERT_EQ(g_icon_view->icons.size(), 1u);
  const Icon* tile = g_icon_view->icons[0];
  EXPECT_EQ(tile->thumb_h > tile->thumb_w, c.portrait);
  ASSERT_GE(tile->thumb_pixels.size(), 3u);
  EXPECT_EQ(tile->thumb_pixels[0] > tile->thumb_pixels[2], c.red_first);
  ASSERT_NE(g_status_progress, nullptr);
  EXPECT_FALSE(g_status_progress->visible());
  EXPECT_TRUE(m_messages.alerts.empty());
}

// Red on the left before: a clockwise turn puts red on top, a mirror puts blue first.
INSTANTIATE_TEST_SUITE_P(RotateAndFlip, Main_window_orient,
                         ::testing::Values(Orient_case{"rotate", true, true, true},
                                           Orient_case{"flip", false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

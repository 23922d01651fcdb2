// The main window's Tonemap...: one selected file loaded for the dialog, several made a
// batch whose files appear in the grid, and an unreadable file refused before the dialog.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Progress.H>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "browser/browser_seam_setup.h"
#include "browser/dir_view.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"
#include "browser/program_exit.h"
#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/image_save.h"
#include "hdr/tonemap_phot_dlg_drv.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

void write_exr(const std::string& path, float level) {
  Hdr_image image(24, 16, 1, 3, 0.f);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      for (int c = 0; c < 3; ++c)
        image(x, y, 0, c) =
            level * std::pow(10.f, float(x) / 6.f) * (1.f + 0.2f * float(c + y % 3));
  save_image_as(image, path, k_type_exr);
}

class Main_window_tonemap : public ::testing::Test {
 protected:
  void SetUp() override {
    write_exr(m_dir.file("a.exr"), 0.01f);
    write_exr(m_dir.file("b.exr"), 2.f);
    Fl_Group::current(nullptr);
    g_tonemap_dialog = new TonemapPhotDlgDrv(580, 350, "Tonemap Image");
    ASSERT_NO_FATAL_FAILURE(open_main_window_on(m_dir.path(), window));
    install_browser_seam();
    ASSERT_EQ(g_icon_view->icons.size(), 2u);
  }
  void TearDown() override {
    delete window;
    g_tonemap_dialog->hide();
    delete g_tonemap_dialog;
    g_tonemap_dialog = nullptr;
  }
  void select(const std::vector<std::string>& names) {
    g_icon_view->deselect_all();
    for (const std::string& n : names) {
      Icon* tile = g_icon_view->find_icon(n, m_dir.path());
      ASSERT_NE(tile, nullptr) << n;
      g_icon_view->add_to_selection(tile);
    }
  }

  Fake_browser m_browser;  // the browser's own answers, put back after
  Temp_dir m_dir;
  Scripted_messages m_messages;
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
};

TEST_F(Main_window_tonemap, OneFileIsLoadedForTheDialog) {
  select({"b.exr"});
  window->tonemap();
  TonemapPhotDlgDrv* d = g_tonemap_dialog;
  ASSERT_TRUE(d->shown());
  EXPECT_FALSE(d->batch());
  EXPECT_FALSE(d->has_viewer());
  ASSERT_NE(d->full_image(), nullptr);
  Hdr_image file;
  load_image(file, m_dir.file("b.exr"), k_type_exr);
  EXPECT_TRUE(images_match(file, *d->full_image()));
  EXPECT_NE(d->preview_image(), nullptr);
  EXPECT_TRUE(m_messages.alerts.empty());
}

TEST_F(Main_window_tonemap, SeveralFilesMakeABatchWhoseOutputsJoinTheGrid) {
  select({"b.exr", "a.exr"});
  window->tonemap();
  TonemapPhotDlgDrv* d = g_tonemap_dialog;
  ASSERT_TRUE(d->shown());
  EXPECT_TRUE(d->batch());
  EXPECT_EQ(d->paths(), (std::vector<std::string>{m_dir.file("b.exr"), m_dir.file("a.exr")}));
  d->run();
  for (int i = 0; i < 1000 && d->batch_running(); ++i) Fl::wait(0.01);
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_NE(g_icon_view->find_icon("a_tm.jpg", m_dir.path()), nullptr);
  EXPECT_NE(g_icon_view->find_icon("b_tm.jpg", m_dir.path()), nullptr);
  EXPECT_FALSE(g_status_progress->visible());
}

TEST_F(Main_window_tonemap, AnUnreadableFileIsAlertedAndTheDialogStaysHidden) {
  select({"a.exr"});
  // Broken after its tile was made.
  std::string bytes = read_file_bytes(m_dir.file("a.exr"));
  ASSERT_TRUE(write_file_bytes(m_dir.file("a.exr"), bytes.substr(0, bytes.size() / 2)));
  window->tonemap();
  EXPECT_FALSE(g_tonemap_dialog->shown());
  EXPECT_EQ(m_messages.alerts,
            (std::vector<std::string>{"Cannot tonemap image. Image data seems to be corrupted."}));
}

// Runs the dialog's batch over paths and waits for its end.
void run_batch(const std::vector<std::string>& paths) {
  TonemapPhotDlgDrv* d = g_tonemap_dialog;
  ASSERT_TRUE(d->setup(nullptr, nullptr, 1.f, paths));
  d->run();
  for (int i = 0; i < 1000 && d->batch_running(); ++i) Fl::wait(0.01);
  ASSERT_FALSE(d->batch_running());
}

// With "Ask confirmation when overwriting existing images" on (as without a preferences
// dialog), an existing output is replaced only after "Overwrite", as in batch resize.
TEST_F(Main_window_tonemap, AnExistingOutputIsReplacedOnlyAfterTheQuestion) {
  const std::string out = m_dir.file("a_tm.jpg");
  for (int answer : {0, 1}) {
    ASSERT_TRUE(write_file_bytes(out, "the user's file"));
    std::remove(m_dir.file("b_tm.jpg").c_str());  // the other output is new each time
    m_messages.questions.clear();
    m_messages.answers.push_back(answer);
    ASSERT_NO_FATAL_FAILURE(run_batch({m_dir.file("a.exr"), m_dir.file("b.exr")}));
    EXPECT_EQ(m_messages.questions,
              std::vector<std::string>{out + " exists. Do you want to overwrite?"});
    EXPECT_EQ(read_file_bytes(out) == "the user's file", answer == 0) << answer;
    EXPECT_NE(read_file_bytes(m_dir.file("b_tm.jpg")), "");
  }
  EXPECT_TRUE(m_messages.alerts.empty());
}

// a.exr and a.hdr both map to a_tm.jpg: the first writes it, the second is alerted and
// skipped, so the first result is not lost.
TEST_F(Main_window_tonemap, TwoSourcesOfOneBaseNameWriteTheOutputOnce) {
  Hdr_image bright(24, 16, 1, 3, 50.f);
  save_image_as(bright, m_dir.file("a.hdr"), k_type_rgbe);
  ASSERT_NO_FATAL_FAILURE(run_batch({m_dir.file("a.exr"), m_dir.file("a.hdr")}));
  const std::string out = m_dir.file("a_tm.jpg");
  EXPECT_EQ(m_messages.alerts,
            std::vector<std::string>{"Cannot tonemap '" + m_dir.file("a.hdr") + "'. Its output '" +
                                     out + "' was already written from '" + m_dir.file("a.exr") +
                                     "' in this batch."});
  EXPECT_TRUE(m_messages.questions.empty());
  // The output is the mapping of a.exr, a picture of many levels, not of the flat a.hdr.
  Hdr_image written;
  load_image(written, out, k_type_jpeg);
  EXPECT_GT(written.max() - written.min(), 50.f);
}

}  // namespace

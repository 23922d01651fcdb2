// The main window's "Image Info...", "Image Stats..." and "Histogram..." on the grid's
// selection: each dialog reads or loads the selected file itself.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Return_Button.H>

#include <string>
#include <vector>

#include "browser/dir_view.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"
#include "browser/program_exit.h"
#include "core/app_globals.h"
#include "core/hdr_image.h"
#include "core/hist_box.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "viewer/hist_dlg.h"
#include "viewer/image_info_dialog.h"
#include "viewer/image_stats_dialog.h"
#include "viewer/info_lines.h"

namespace {

class Main_window_details : public ::testing::Test {
 protected:
  void SetUp() override {
    g_histogram_dialog = new HistDlg(525, 220, "Histogram");
    g_image_info_dialog = new ImageInfoDialog(485, 405, "Image Info");
    g_image_stats_dialog = new ImageStatsDialog(375, 405, "Image Stats");
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
  void TearDown() override {
    delete window;
    delete g_histogram_dialog;
    delete g_image_info_dialog;
    delete g_image_stats_dialog;
    g_histogram_dialog = nullptr;
    g_image_info_dialog = nullptr;
    g_image_stats_dialog = nullptr;
  }

  static void pick(const char* path) {
    const Fl_Menu_Item* item = g_menu_bar->find_item(path);
    ASSERT_NE(item, nullptr) << path;
    EXPECT_TRUE(item->active()) << path;  // one tile selected
    item->do_callback(g_menu_bar);
  }
  static std::vector<std::string> lines(const Fl_Browser* b) {
    std::vector<std::string> out;
    for (int i = 1; i <= b->size(); ++i) out.push_back(b->text(i));
    return out;
  }
  std::string file_size_line() const {
    return "@b@S12Size:\t@S12 " + file_size_text(read_file_bytes(m_dir.file("a.png")).size());
  }
  // The selected file stops being an image after its tile was made.
  void spoil_file() { ASSERT_TRUE(write_file_bytes(m_dir.file("a.png"), "not a picture")); }

  Temp_dir m_dir;
  Scripted_messages m_messages;
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
};

TEST_F(Main_window_details, HistogramLoadsTheSelectedFileAndFreesItOnClose) {
  pick("&View/Histogram...");
  HistDlg* d = g_histogram_dialog;
  EXPECT_TRUE(d->shown());
  EXPECT_TRUE(m_messages.alerts.empty());
  ASSERT_NE(d->image(), nullptr);
  EXPECT_FALSE(d->image_borrowed());
  EXPECT_EQ(d->pixel_count(), 2u);
  // Luminance of red (54.2) and blue (18.4): one pixel at each end.
  ASSERT_EQ(d->hist_box->bin_count(), 256);
  EXPECT_EQ(d->hist_box->bins()[0], 1u);
  EXPECT_EQ(d->hist_box->bins()[255], 1u);
  EXPECT_EQ(d->hist_box->bar_red(), 96);
  d->close_button->do_callback();
  EXPECT_FALSE(d->visible());
  EXPECT_EQ(d->image(), nullptr);
  EXPECT_EQ(d->pixel_count(), 0u);
}

TEST_F(Main_window_details, HistogramOfAnUnreadableFileAlertsAndStaysHidden) {
  spoil_file();
  pick("&View/Histogram...");
  EXPECT_EQ(m_messages.alerts, std::vector<std::string>{
                                   "Cannot compute histogram. Image data seems to be corrupted."});
  EXPECT_FALSE(g_histogram_dialog->shown());
  EXPECT_EQ(g_histogram_dialog->image(), nullptr);
}

TEST_F(Main_window_details, ImageStatsLoadsTheSelectedFile) {
  pick("&View/Image Stats...");
  ImageStatsDialog* d = g_image_stats_dialog;
  EXPECT_TRUE(d->shown());
  // log10(54.1875 / 18.3855) = 0.47; log2 of it: 1.56.
  EXPECT_EQ(lines(d->browser),
            (std::vector<std::string>{
                "@b@S12Name:\t@S12 a.png", "@b@S12Dynamic range (EVs):\t@S12 1.56",
                "@b@S12Dynamic range:\t@S12 0.47", "@b@S12Dynamic range (99%):\t@S12 0.47",
                "@b@S12Dynamic range (95%):\t@S12 0.47"}));
  d->hide();
}

TEST_F(Main_window_details, ImageStatsOfAnUnreadableFileAlertsAndStaysHidden) {
  spoil_file();
  pick("&View/Image Stats...");
  EXPECT_EQ(
      m_messages.alerts,
      std::vector<std::string>{"Cannot compute image stats. Image data seems to be corrupted."});
  EXPECT_FALSE(g_image_stats_dialog->shown());
  EXPECT_EQ(lines(g_image_stats_dialog->browser),
            std::vector<std::string>{"@b@S12Name:\t@S12 a.png"});
}

TEST_F(Main_window_details, ImageInfoShowsTheTilesDimensions) {
  const std::string size = file_size_line();
  pick("&View/Image Info...");
  ImageInfoDialog* d = g_image_info_dialog;
  EXPECT_TRUE(d->shown());
  EXPECT_EQ(lines(d->browsers[k_tab_general]),
            (std::vector<std::string>{"@b@S12Name:\t@S12 a.png", size, "@b@S12Width:\t@S12 2 px",
                                      "@b@S12Height:\t@S12 1 px"}));
  for (int tab = k_tab_camera; tab < k_info_tabs; ++tab) EXPECT_EQ(d->browsers[tab]->size(), 0);
  d->hide();
}

}  // namespace

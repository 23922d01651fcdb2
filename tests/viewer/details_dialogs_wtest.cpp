// The viewer's "Histogram...", "Image Info..." and "Image Stats..." items under the X
// server: each opens its dialog on the viewer's image or file; the histogram's bars are
// read back as pixels, the other two dialogs' browser lines as text.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Tabs.H>
#include <FL/fl_draw.H>

#include <memory>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/hist_box.h"
#include "tests/support/exif_entries_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/hist_dlg.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_info_dialog.h"
#include "viewer/image_stats_dialog.h"

namespace {

class Details_dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    g_histogram_dialog = new HistDlg(525, 220, "Histogram");
    g_image_info_dialog = new ImageInfoDialog(485, 405, "Image Info");
    g_image_stats_dialog = new ImageStatsDialog(375, 405, "Image Stats");
  }
  void TearDown() override {
    delete_all_viewers();
    delete g_histogram_dialog;
    delete g_image_info_dialog;
    delete g_image_stats_dialog;
    g_histogram_dialog = nullptr;
    g_image_info_dialog = nullptr;
    g_image_stats_dialog = nullptr;
  }

  static void pick(ImageDialogDrv* v, const char* path) {
    const Fl_Menu_Item* item = v->menu_item(path);
    ASSERT_NE(item, nullptr) << path;
    item->do_callback(v->menu_bar);
  }

  static void wait_shown(Fl_Window* w) {
    for (int i = 0; i < 200 && !w->shown(); ++i) Fl::wait(0.01);
    settle(0.2);
  }

  static std::vector<std::string> lines(const Fl_Browser* b) {
    std::vector<std::string> out;
    for (int i = 1; i <= b->size(); ++i) out.push_back(b->text(i));
    return out;
  }

  Scripted_messages m_messages;
};

// The HistBox's pixels, row by row, 3 bytes each.
struct Box_pixels {
  int w = 0, h = 0;
  std::vector<uchar> px;
  const uchar* at(int x, int y) const { return &px[(size_t(y) * w + x) * 3]; }
  bool is(int x, int y, int r, int g, int b) const {
    const uchar* p = at(x, y);
    return p[0] == r && p[1] == g && p[2] == b;
  }
  // Height of the bar-coloured run standing on the bottom row of column x.
  int bar_height(int x, int r, int g, int b) const {
    int n = 0;
    while (n < h && is(x, h - 1 - n, r, g, b)) ++n;
    return n;
  }
};

Box_pixels read_box(HistDlg* dialog) {
  dialog->redraw();
  settle(0.2);
  HistBox* box = dialog->hist_box;
  Box_pixels p;
  p.w = box->w();
  p.h = box->h();
  p.px.resize(size_t(p.w) * p.h * 3);
  dialog->make_current();
  fl_read_image(p.px.data(), box->x(), box->y(), p.w, p.h);
  return p;
}

TEST_F(Details_dialogs, HistogramItemDrawsTheViewersLuminanceAndChannels) {
  // 64 x 64: the left three quarters black, the right quarter red 255.
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(64, 64, k_type_png,
                                       [](uint32_t x, uint32_t) {
                                         return x < 48 ? Rgb{0, 0, 0} : Rgb{255, 0, 0};
                                       }),
                       "h.png");
  pick(v, "&View/Histogram...");
  HistDlg* d = g_histogram_dialog;
  wait_shown(d);
  ASSERT_TRUE(d->shown());
  EXPECT_TRUE(d->modal());
  EXPECT_TRUE(d->image_borrowed());
  EXPECT_EQ(d->image(), v->get_image());
  EXPECT_EQ(d->pixel_count(), 64u * 64u);

  // Luminance: 3072 pixels in bin 0, 1024 in bin 255; 2-pixel bars on white.
  Box_pixels p = read_box(d);
  ASSERT_EQ(p.w, 512);
  ASSERT_EQ(p.h, 149);
  EXPECT_EQ(p.bar_height(0, 96, 96, 96), 111);  // the tallest bar: 3/4 of 149
  EXPECT_EQ(p.bar_height(1, 96, 96, 96), 111);
  EXPECT_EQ(p.bar_height(511, 96, 96, 96), 37);  // 1024 / 3072 of it
  EXPECT_TRUE(p.is(0, 149 - 112, 255, 255, 255));
  EXPECT_TRUE(p.is(64, 148, 255, 255, 255));  // an empty bin
  for (int x : {128, 256, 384}) {             // the grid lines, over the whole height
    EXPECT_TRUE(p.is(x, 0, 128, 128, 128)) << x;
    EXPECT_TRUE(p.is(x, 148, 128, 128, 128)) << x;
    EXPECT_TRUE(p.is(x + 1, 0, 255, 255, 255)) << x;
  }

  // Red: the same split in red bars; the luminance stays cached.
  d->channel_choice->value(k_hist_red);
  d->channel_choice->do_callback();
  p = read_box(d);
  EXPECT_EQ(p.bar_height(0, 205, 47, 47), 111);
  EXPECT_EQ(p.bar_height(510, 205, 47, 47), 37);
  d->channel_choice->value(k_hist_luminance);
  d->channel_choice->do_callback();
  EXPECT_EQ(d->cache().histogram_computations(), 2);
  EXPECT_EQ(d->cache().luminance_computations(), 1);

  // Green is 0 everywhere: one uniform bin 0 reaching 3/4.
  d->channel_choice->value(k_hist_green);
  d->channel_choice->do_callback();
  p = read_box(d);
  EXPECT_EQ(p.bar_height(0, 162, 220, 80), 111);
  EXPECT_EQ(p.bar_height(2, 162, 220, 80), 0);

  // Close empties the cache; the image stays the viewer's.
  d->close_button->do_callback();
  EXPECT_FALSE(d->visible());
  EXPECT_EQ(d->image(), nullptr);
  EXPECT_FALSE(d->cache().has_luminance());
  EXPECT_FALSE(d->cache().cached(k_hist_luminance, k_hist_linear));
  ASSERT_NE(v->get_image(), nullptr);
  EXPECT_EQ((*v->get_image())(50, 0, 0, 0), 255.f);
}

TEST_F(Details_dialogs, HistogramOfAnImageWithoutDataDrawsTheGridOnly) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(8, 8, k_type_new_hdr,
                                                       [](uint32_t, uint32_t) {
                                                         return Rgb{NAN, NAN, NAN};
                                                       }),
                                       "nan.exr");
  pick(v, "&View/Histogram...");
  HistDlg* d = g_histogram_dialog;
  wait_shown(d);
  d->scale_choice->value(k_hist_logarithmic);
  d->scale_choice->do_callback();
  const Box_pixels p = read_box(d);
  EXPECT_EQ(d->hist_box->maximum(), 0u);
  for (int x : {0, 1, 100, 511}) EXPECT_TRUE(p.is(x, 148, 255, 255, 255)) << x;
  EXPECT_TRUE(p.is(128, 148, 128, 128, 128));
  d->close();
}

TEST_F(Details_dialogs, ReopeningStartsWithAnEmptyCache) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(4, 4, k_type_png,
                                                       [](uint32_t x, uint32_t) {
                                                         return Rgb{float(x), 0, 0};
                                                       }),
                                       "a.png");
  pick(v, "&View/Histogram...");
  HistDlg* d = g_histogram_dialog;
  wait_shown(d);
  // Hidden without Close (as the window system may): the next opening still starts anew.
  d->hide();
  ImageDialogDrv* w = open_test_viewer(make_test_image(4, 4, k_type_png,
                                                       [](uint32_t, uint32_t) {
                                                         return Rgb{9, 9, 9};
                                                       }),
                                       "b.png");
  pick(w, "&View/Histogram...");
  wait_shown(d);
  EXPECT_EQ(d->image(), w->get_image());
  EXPECT_EQ(d->hist_box->bins()[0], 16u);  // uniform grey: every pixel in bin 0
  d->do_callback();                        // the close box
  EXPECT_FALSE(d->visible());
  EXPECT_EQ(d->image(), nullptr);
}

TEST_F(Details_dialogs, ImageInfoItemListsTheViewersFile) {
  Temp_dir dir;
  const std::vector<uint8_t> rgb(16 * 8 * 3, 100);
  write_jpeg(dir.file("cam.jpg"), 16, 8, 3, rgb.data(), 95,
             exif_block_with({{Exif_test_entry::ascii, 0, 0x010F, "Nikon@\tC1"},
                              {Exif_test_entry::rational, 2, 0x829D, "", 56, 10}}));
  auto* v = new ImageDialogDrv(640, 480, "cam.jpg");
  v->set_image(make_test_image(16, 8, k_type_jpeg,
                               [](uint32_t, uint32_t) {
                                 return Rgb{1, 1, 1};
                               }),
               dir.file("cam.jpg"), "cam.jpg", dir.path(), 0, 0);
  v->show();
  wait_shown(v);
  pick(v, "&View/Image Info...");
  ImageInfoDialog* d = g_image_info_dialog;
  wait_shown(d);
  ASSERT_TRUE(d->shown());
  EXPECT_TRUE(d->modal());
  EXPECT_EQ(d->tabs->value(), d->browsers[k_tab_camera]);  // the first opening
  const std::vector<std::string> general = lines(d->browsers[k_tab_general]);
  ASSERT_EQ(general.size(), 4u);
  EXPECT_EQ(general[0], "@b@S12Name:\t@S12 cam.jpg");
  EXPECT_EQ(general[2], "@b@S12Width:\t@S12 16 px");
  EXPECT_EQ(general[3], "@b@S12Height:\t@S12 8 px");
  const std::vector<std::string> camera = lines(d->browsers[k_tab_camera]);
  ASSERT_FALSE(camera.empty());
  EXPECT_EQ(camera[0], "@b@S12Make:\t@S12 Nikon@ C1");
  const std::vector<std::string> conditions = lines(d->browsers[k_tab_conditions]);
  EXPECT_NE(std::find(conditions.begin(), conditions.end(), "@b@S12F-number:\t@S12 f/5.6"),
            conditions.end());

  // The tab the user chose stays chosen; a second fill replaces the lines.
  d->tabs->value(d->browsers[k_tab_other]);
  d->close_button->do_callback();
  EXPECT_FALSE(d->visible());
  pick(v, "&View/Image Info...");
  wait_shown(d);
  EXPECT_EQ(d->tabs->value(), d->browsers[k_tab_other]);
  EXPECT_EQ(lines(d->browsers[k_tab_general]).size(), 4u);
  EXPECT_EQ(lines(d->browsers[k_tab_camera]), camera);
  d->hide();
}

TEST_F(Details_dialogs, ImageInfoOfANewImageShowsTheGeneralTabOnly) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(30, 20, k_type_new_ldr,
                                                       [](uint32_t, uint32_t) {
                                                         return Rgb{1, 1, 1};
                                                       }),
                                       "Untitled");
  pick(v, "&View/Image Info...");
  ImageInfoDialog* d = g_image_info_dialog;
  wait_shown(d);
  EXPECT_EQ(lines(d->browsers[k_tab_general])[2], "@b@S12Width:\t@S12 30 px");
  for (int tab = k_tab_camera; tab < k_info_tabs; ++tab) EXPECT_EQ(d->browsers[tab]->size(), 0);
  EXPECT_TRUE(m_messages.alerts.empty());
  d->hide();
}

TEST_F(Details_dialogs, ImageStatsItemShowsAndKeepsTheViewersFigures) {
  // Grey 1..255 (exposure 1 for an 8-bit image): 2.41 log10 units, 7.99 EVs.
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(255, 1, k_type_png,
                                       [](uint32_t x, uint32_t) {
                                         return Rgb{float(x + 1), float(x + 1), float(x + 1)};
                                       }),
                       "grey.png");
  ASSERT_FALSE(v->get_image()->stats.computed);
  pick(v, "&View/Image Stats...");
  ImageStatsDialog* d = g_image_stats_dialog;
  wait_shown(d);
  ASSERT_TRUE(d->shown());
  EXPECT_TRUE(d->modal());
  std::vector<std::string> got = lines(d->browser);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0], "@b@S12Name:\t@S12 grey.png");
  EXPECT_EQ(got[1], "@b@S12Dynamic range (EVs):\t@S12 7.99");
  EXPECT_EQ(got[2], "@b@S12Dynamic range:\t@S12 2.41");
  EXPECT_TRUE(v->get_image()->stats.computed);
  d->close_button->do_callback();
  EXPECT_FALSE(d->visible());

  // Figures already computed are shown as they stand, not measured again.
  v->get_image()->stats.range_ev = 42.f;
  pick(v, "&View/Image Stats...");
  wait_shown(d);
  got = lines(d->browser);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[1], "@b@S12Dynamic range (EVs):\t@S12 42.00");
  EXPECT_STREQ(d->browser->tooltip(), k_stats_tooltip);
  d->hide();
}

}  // namespace

// The viewer window under the X server: its size for an image, title, menu, the focus
// re-synchronisation, closing and the deletion of closed viewers.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>

#include <algorithm>
#include <memory>
#include <string>

#include "core/app_globals.h"
#include "tests/support/fake_browser.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_scroll.h"
#include "viewer/viewer_geometry.h"

namespace {

Rgb grey(uint32_t, uint32_t) { return {100.f, 100.f, 100.f}; }

class Viewer_window : public ::testing::Test {
 protected:
  void TearDown() override { delete_all_viewers(); }

  Fake_browser m_browser;
};

bool active(ImageDialogDrv* v, const char* path) {
  const Fl_Menu_Item* item = v->menu_item(path);
  EXPECT_NE(item, nullptr) << path;
  return item && item->active();
}

bool listed(Fl_Window* w) {
  return std::count(g_closed_viewers.begin(), g_closed_viewers.end(), w) > 0;
}

TEST_F(Viewer_window, SmallImageOpensAtItsOwnSizeWithTitle) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(200, 100, k_type_png, grey), "a.png");
  EXPECT_EQ(v->w(), 200);
  EXPECT_EQ(v->h(), 125);
  EXPECT_STREQ(v->label(), "a.png (100%) ");
  EXPECT_EQ(v->get_name(), "a.png");
  EXPECT_EQ(v->get_path(), "/tmp/a.png");
  EXPECT_EQ(v->get_directory(), "/tmp/");
  EXPECT_EQ(v->get_file_type(), uint32_t(k_type_png));
}

TEST_F(Viewer_window, LargeImageIsScaledDownToTheWorkArea) {
  int sx, sy, sw, sh;
  Fl::screen_work_area(sx, sy, sw, sh);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(4 * sw, 2 * sh, k_type_png, grey), "big.png");
  const Window_size want = viewer_window_size(sw, sh, 4 * sw, 2 * sh);
  EXPECT_EQ(v->w(), want.w);
  EXPECT_EQ(v->h(), want.h);
  EXPECT_LE(v->w(), sw - 11);
  EXPECT_LE(v->h(), sh - 30);
}

TEST_F(Viewer_window, ImageOfTheDefaultSizeIsShownAndTitledAtOnce) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(640, 455, k_type_jpeg, grey), "d.jpg");
  EXPECT_EQ(v->w(), 640);
  EXPECT_EQ(v->h(), 480);
  EXPECT_STREQ(v->label(), "d.jpg (100%) ");
  EXPECT_NE(v->image_box->image(), nullptr);
}

TEST_F(Viewer_window, ChangedImageHasPlusInTitleAndSaveActive) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(50, 40, k_type_png, grey), "c.png");
  EXPECT_FALSE(active(v, "&Image/&Save"));
  v->set_modified(k_change_rotated);
  EXPECT_TRUE(active(v, "&Image/&Save"));
  v->update_view();
  EXPECT_STREQ(v->label(), "c.png + (100%) ");
  v->clear_modified(k_change_rotated);
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_FALSE(active(v, "&Image/&Save"));
}

TEST_F(Viewer_window, MenuHasItsLabelsShortcutsAndFlags) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(50, 40, k_type_png, grey), "m.png");
  struct Item {
    const char* path;
    int shortcut;
    int flags;
  };
  const Item items[] = {
      {"&Image/&Save", FL_CTRL + 's', FL_MENU_INACTIVE},
      {"&Image/Save As...", FL_CTRL + FL_SHIFT + 's', FL_MENU_DIVIDER},
      {"&Image/&Close", FL_CTRL + 'w', 0},
      {"&Edit/Undo", FL_CTRL + 'z', FL_MENU_INACTIVE},
      {"&Edit/Redo", FL_CTRL + 'y', FL_MENU_INACTIVE},
      {"&Tools/Rotate Left", FL_CTRL + '[', 0},
      {"&Tools/Crop/Selection", FL_CTRL + FL_SHIFT + 'c', FL_MENU_INACTIVE},
      {"&View/Next Image", FL_CTRL + FL_Right, FL_MENU_INACTIVE},
      {"&View/Zoom In", '>', 0},
      {"&View/Original Size", FL_CTRL + 'f', FL_MENU_RADIO | FL_MENU_VALUE},
      {"&View/Fit Window", FL_CTRL + '0', FL_MENU_RADIO},
      {"&View/Fullscreen...", FL_ALT + FL_Enter, 0},
      {"&View/Exposure/Default", FL_CTRL + ' ', 0},
      {"&View/Pixel Info", FL_CTRL + 'p', FL_MENU_TOGGLE},
  };
  for (const Item& i : items) {
    const Fl_Menu_Item* m = v->menu_item(i.path);
    ASSERT_NE(m, nullptr) << i.path;
    EXPECT_EQ(m->shortcut(), i.shortcut) << i.path;
    EXPECT_EQ(m->flags & (FL_MENU_INACTIVE | FL_MENU_RADIO | FL_MENU_VALUE | FL_MENU_TOGGLE |
                          FL_MENU_DIVIDER),
              i.flags)
        << i.path;
  }
}

TEST_F(Viewer_window, FocusResyncSwitchesHdrItemsPerViewer) {
  ImageDialogDrv* exr = open_test_viewer(make_test_image(60, 40, k_type_exr, grey), "a.exr");
  ImageDialogDrv* png = open_test_viewer(make_test_image(60, 40, k_type_png, grey), "b.png");
  const char* hdr_items[] = {"&Process/Tonemap...", "&View/Exposure", "&Tools/Calibrate...",
                             "&View/Show on HDR Display"};
  exr->handle(FL_FOCUS);
  png->handle(FL_FOCUS);
  for (const char* p : hdr_items) {
    EXPECT_TRUE(active(exr, p)) << p;
    EXPECT_FALSE(active(png, p)) << p;
  }
  // Each viewer has its own menu: one's state never shows in the other.
  png->set_modified(k_change_flipped);
  EXPECT_FALSE(active(exr, "&Image/&Save"));
  EXPECT_TRUE(active(png, "&Image/&Save"));
}

TEST_F(Viewer_window, FocusResyncSetsNextAndPreviousFromTheGrid) {
  m_browser.answers().grid_paths = [] {
    return std::vector<std::string>{"/tmp/first.png", "/tmp/mid.png", "/tmp/last.png"};
  };
  ImageDialogDrv* mid = open_test_viewer(make_test_image(30, 20, k_type_png, grey), "mid.png");
  ImageDialogDrv* last = open_test_viewer(make_test_image(30, 20, k_type_png, grey), "last.png");
  ImageDialogDrv* other = open_test_viewer(make_test_image(30, 20, k_type_png, grey), "x.png");
  for (ImageDialogDrv* v : {mid, last, other}) v->handle(FL_FOCUS);
  EXPECT_TRUE(active(mid, "&View/Next Image"));
  EXPECT_TRUE(active(mid, "&View/Previous Image"));
  EXPECT_FALSE(active(last, "&View/Next Image"));
  EXPECT_TRUE(active(last, "&View/Previous Image"));
  EXPECT_FALSE(active(other, "&View/Next Image"));
  EXPECT_FALSE(active(other, "&View/Previous Image"));
}

TEST_F(Viewer_window, FewerThanTwoTilesLeaveNextAndPreviousInactive) {
  m_browser.answers().grid_paths = [] { return std::vector<std::string>{"/tmp/one.png"}; };
  ImageDialogDrv* v = open_test_viewer(make_test_image(30, 20, k_type_png, grey), "one.png");
  EXPECT_FALSE(active(v, "&View/Next Image"));
  EXPECT_FALSE(active(v, "&View/Previous Image"));
}

TEST_F(Viewer_window, ScrollAreaLeavesCtrlKeysToTheMenu) {
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(900, 700, k_type_png, grey), "k.png", 640, 480);
  const int saved = Fl::e_state;
  Fl::e_state = FL_CTRL;
  Fl::e_keysym = FL_Right;
  EXPECT_EQ(v->scroll->handle(FL_KEYBOARD), 0);
  EXPECT_EQ(v->scroll->handle(FL_PUSH), 0);
  Fl::e_state = saved;
}

TEST_F(Viewer_window, ClosingHidesAtOnceAndListsOnce) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(30, 20, k_type_png, grey), "c.png");
  v->do_callback();  // the close box
  EXPECT_FALSE(v->shown());
  EXPECT_EQ(v->image_box->image(), nullptr);
  v->close();  // then the menu
  EXPECT_EQ(std::count(g_closed_viewers.begin(), g_closed_viewers.end(), v), 1);
  EXPECT_NE(v->get_image(), nullptr);  // memory stays until the next viewer
}

TEST_F(Viewer_window, NextConstructionDeletesClosedViewers) {
  ImageDialogDrv* a = open_test_viewer(make_test_image(30, 20, k_type_png, grey), "a.png");
  ImageDialogDrv* b = open_test_viewer(make_test_image(30, 20, k_type_exr, grey), "b.exr");
  Fl_Widget_Tracker ta(a), tb(b);
  a->close();
  b->close();
  EXPECT_FALSE(ta.deleted());
  auto* c = new ImageDialogDrv(640, 480, "c");
  EXPECT_TRUE(ta.deleted());
  EXPECT_TRUE(tb.deleted());
  EXPECT_TRUE(g_closed_viewers.empty());
  delete c;
}

// Closes the viewer and builds another while the first one's action pumps events.
ImageDialogDrv* g_victim = nullptr;
ImageDialogDrv* g_intruder = nullptr;
void close_and_open(void*) {
  g_victim->close();
  g_intruder = new ImageDialogDrv(640, 480, "intruder");
}

TEST_F(Viewer_window, ViewerClosedDuringItsOwnActionIsNotDeletedUnderIt) {
  g_victim = open_test_viewer(make_test_image(300, 200, k_type_exr,
                                              [](uint32_t x, uint32_t) {
                                                return Rgb{float(x), 1.f, 2.f};
                                              }),
                              "v.exr");
  Fl_Widget_Tracker tracker(g_victim);
  g_intruder = nullptr;
  Fl::add_timeout(0.0, close_and_open);
  g_victim->exposure(0);  // the busy cursor pumps: the timeout runs inside
  ASSERT_NE(g_intruder, nullptr);
  EXPECT_FALSE(tracker.deleted());
  EXPECT_TRUE(listed(g_victim));
  // Once the action has returned, the next viewer deletes it.
  auto* later = new ImageDialogDrv(640, 480, "later");
  EXPECT_TRUE(tracker.deleted());
  delete later;
  delete g_intruder;
}

TEST_F(Viewer_window, CloseRemovesThePendingResizeTimeout) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(100, 80, k_type_png, grey), "r.png");
  Fl_Widget_Tracker tracker(v);
  v->resize(v->x(), v->y(), v->w() + 30, v->h() + 20);
  EXPECT_TRUE(v->resize_pending());
  v->close();
  delete new ImageDialogDrv(640, 480, "n");
  ASSERT_TRUE(tracker.deleted());
  settle(0.4);  // the timeout would have run on the deleted viewer
}

TEST_F(Viewer_window, ResizeRedisplaysOnceAfterTheDelay) {
  ImageDialogDrv* v = open_test_viewer(make_test_image(100, 80, k_type_png, grey), "r.png");
  v->resize(v->x(), v->y(), 400, 300);
  v->resize(v->x(), v->y(), 420, 320);
  EXPECT_TRUE(v->resize_pending());
  EXPECT_EQ(Fl::has_timeout(nullptr), 0);  // (no stray timeouts of other kinds)
  settle(0.15);
  EXPECT_TRUE(v->resize_pending());
  settle(0.3);
  EXPECT_FALSE(v->resize_pending());
  // Centred in the new area.
  EXPECT_EQ(v->image_box->x(), v->scroll->x() + (v->scroll->w() - 100) / 2);
  EXPECT_EQ(v->image_box->y(), v->scroll->y() + (v->scroll->h() - 80) / 2);
}

}  // namespace

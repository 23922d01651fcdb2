// The viewer's edits under the X server: rotate, flip and crop to the selection driven
// through the menu, their change bits and title mark, one level of undo and redo, the
// guards against re-entry, and the pseudo-colour copy in a second viewer.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_draw.H>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/color_space.h"
#include "core/preferences_dlg.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"

namespace {

// Every value distinct, within 8 bits: red from x, green from y, blue from both.
Rgb numbered(uint32_t x, uint32_t y) { return {float(x), float(y), float((x * 7 + y * 3) % 256)}; }

class Viewer_edits : public ::testing::Test {
 protected:
  void SetUp() override {
    m_prefs = std::make_unique<PreferencesDlg>(550, 385, "Preferences");
    g_preferences_dialog = m_prefs.get();
    m_prefs->open_as_choice->value(1);  // original size: the title reads 100%
  }
  void TearDown() override {
    delete_all_viewers();
    g_preferences_dialog = nullptr;
    EXPECT_TRUE(m_messages.alerts.empty());
  }

  // Chooses the item as the menu bar would.
  static void choose(ImageDialogDrv* v, const char* path) {
    const Fl_Menu_Item* item = v->menu_item(path);
    ASSERT_NE(item, nullptr) << path;
    item->do_callback(v->menu_bar);
  }
  static bool active(ImageDialogDrv* v, const char* path) {
    const Fl_Menu_Item* item = v->menu_item(path);
    EXPECT_NE(item, nullptr) << path;
    return item && item->active();
  }
  static void mouse(ImageDialogDrv* v, int event, int x, int y) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_x_root = v->x() + x;
    Fl::e_y_root = v->y() + y;
    v->handle(event);
  }
  // Drags a selection over image pixels (x0, y0)..(x1, y1) at zoom 1 and lets it draw.
  static void select(ImageDialogDrv* v, int x0, int y0, int x1, int y1) {
    const int bx = v->image_box->x(), by = v->image_box->y();
    mouse(v, FL_PUSH, bx + x0, by + y0);
    mouse(v, FL_DRAG, bx + x0, by + y0);
    mouse(v, FL_DRAG, bx + x1, by + y1);
    mouse(v, FL_RELEASE, bx + x1, by + y1);
    v->redraw();
    settle(0.05);
  }
  static void expect_marks(ImageDialogDrv* v, bool undo, bool redo) {
    EXPECT_EQ(v->undo_available(), undo);
    EXPECT_EQ(active(v, "&Edit/Undo"), undo);
    EXPECT_EQ(v->redo_available(), redo);
    EXPECT_EQ(active(v, "&Edit/Redo"), redo);
  }
  // The viewer's image with the exposure divided out: the values of the file.
  static Hdr_image file_values(ImageDialogDrv* v) {
    Hdr_image im = *v->get_image();
    im /= v->exposure_factor();
    return im;
  }

  Scripted_messages m_messages;
  Fake_browser m_browser;
  std::unique_ptr<PreferencesDlg> m_prefs;
};

TEST_F(Viewer_edits, RotateLeftThenRightRestoresImageAndClearsTheMark) {
  const auto src = make_test_image(30, 20, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "r.png");
  choose(v, "&Tools/Rotate Right");
  const Hdr_image& im = *v->get_image();
  ASSERT_EQ(im.width(), 20);
  ASSERT_EQ(im.height(), 30);
  // Clockwise: the source's left column, read bottom to top, is the top row.
  EXPECT_EQ(im(0, 0, 0, 1), (*src)(0, 19, 0, 1));
  EXPECT_EQ(im(19, 0, 0, 0), (*src)(0, 0, 0, 0));
  EXPECT_EQ(im(19, 29, 0, 2), (*src)(29, 0, 0, 2));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_rotated));
  EXPECT_STREQ(v->label(), "r.png + (100%) ");
  EXPECT_EQ(v->image_box->w(), 20);
  EXPECT_EQ(v->image_box->h(), 30);
  expect_marks(v, true, false);

  choose(v, "&Tools/Rotate Left");
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_STREQ(v->label(), "r.png (100%) ");
  EXPECT_FALSE(active(v, "&Image/&Save"));
}

TEST_F(Viewer_edits, FourRightTurnsAreAWholeTurn) {
  const auto src = make_test_image(9, 5, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "four.png");
  for (int i = 0; i < 3; ++i) {
    v->rotate(90);
    EXPECT_EQ(v->modified_flags(), uint32_t(k_change_rotated)) << i;
  }
  v->rotate(90);
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_STREQ(v->label(), "four.png (100%) ");
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  // The sum started again from zero: one more left turn marks the image again.
  v->rotate(-90);
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_rotated));
}

TEST_F(Viewer_edits, FlipMarksDecideTheFlipBit) {
  const auto src = make_test_image(6, 4, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "f.png");
  choose(v, "&Tools/Flip Vertical");
  const Hdr_image& im = *v->get_image();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(im(x, y, 0, 2), (*src)(x, 3 - y, 0, 2));
  EXPECT_STREQ(v->label(), "f.png + (100%) ");
  choose(v, "&Tools/Flip Vertical");
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_STREQ(v->label(), "f.png (100%) ");

  choose(v, "&Tools/Flip Vertical");
  choose(v, "&Tools/Flip Horizontal");
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_flipped));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(im(x, y, 0, 0), (*src)(5 - x, 3 - y, 0, 0));
  // Undo flips along the recorded axis again; Redo flips once more.
  choose(v, "&Edit/Undo");
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(im(x, y, 0, 0), (*src)(x, 3 - y, 0, 0));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_flipped));
  expect_marks(v, false, true);
  choose(v, "&Edit/Redo");
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(im(x, y, 0, 0), (*src)(5 - x, 3 - y, 0, 0));
  expect_marks(v, true, false);
}

TEST_F(Viewer_edits, RotationUndoAndRedoRecomputeTheMark) {
  const auto src = make_test_image(8, 3, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "u.png");
  v->rotate(-90);
  choose(v, "&Edit/Undo");
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_STREQ(v->label(), "u.png (100%) ");
  expect_marks(v, false, true);
  choose(v, "&Edit/Redo");
  EXPECT_EQ(v->get_image()->width(), 3);
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_rotated));
  expect_marks(v, true, false);
  // The redone turn is the left one again: a right turn undoes it.
  v->rotate(90);
  EXPECT_TRUE(images_match(*src, *v->get_image()));
}

TEST_F(Viewer_edits, CropToSelectionUndoAndRedoKeepTheCropBit) {
  const auto src = make_test_image(120, 80, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "c.png");
  EXPECT_FALSE(active(v, "&Tools/Crop/Selection"));
  // Drawn from bottom right to top left: the same inclusive bounds as the other way.
  select(v, 50, 40, 10, 20);
  ASSERT_TRUE(v->selection_shown());
  EXPECT_TRUE(active(v, "&Tools/Crop/Selection"));
  choose(v, "&Tools/Crop/Selection");

  const Hdr_image& im = *v->get_image();
  ASSERT_EQ(im.width(), 41);
  ASSERT_EQ(im.height(), 21);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 41; ++x) ASSERT_EQ(im(x, y, 0, c), (*src)(10 + x, 20 + y, 0, c));
  EXPECT_FALSE(v->selection_shown());
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_cropped));
  EXPECT_STREQ(v->label(), "c.png + (100%) ");
  EXPECT_EQ(v->image_box->w(), 41);
  expect_marks(v, true, false);
  settle(0.05);
  EXPECT_FALSE(active(v, "&Tools/Crop/Selection"));

  choose(v, "&Edit/Undo");
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_cropped));
  EXPECT_EQ(v->image_box->w(), 120);
  expect_marks(v, false, true);

  choose(v, "&Edit/Redo");
  ASSERT_EQ(v->get_image()->width(), 41);
  EXPECT_EQ((*v->get_image())(0, 0, 0, 0), (*src)(10, 20, 0, 0));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_cropped));
  expect_marks(v, true, false);
}

TEST_F(Viewer_edits, RedoAfterAnUndoneRotationUndoesALaterCrop) {
  const auto src = make_test_image(100, 60, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "ru.png");
  v->rotate(90);
  v->undo();
  expect_marks(v, false, true);
  select(v, 5, 5, 24, 14);
  v->crop(1);
  ASSERT_EQ(v->get_image()->width(), 20);
  expect_marks(v, true, true);  // a new edit leaves Redo as it was
  v->redo();
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  expect_marks(v, true, false);
}

TEST_F(Viewer_edits, CropWithoutASelectionOnTheImageChangesNothing) {
  const auto src = make_test_image(50, 40, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "n.png", 640, 480);
  v->crop(1);  // no selection shown
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_FALSE(v->undo_available());
  // A selection beside the image (the box is centred in the larger window).
  const int bx = v->image_box->x(), by = v->image_box->y();
  mouse(v, FL_PUSH, bx + 10, by + 10);
  mouse(v, FL_DRAG, bx + 10, by + 10);
  mouse(v, FL_DRAG, bx + 30, by + 30);
  v->image_box->position(bx + 200, by);  // the image moved away under the selection
  ASSERT_TRUE(v->selection_shown());
  v->crop(1);
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_FALSE(v->undo_available());
  EXPECT_FALSE(v->selection_shown());
  // Specify region... is the crop dialog's; here it leaves the image alone.
  v->crop(0);
  EXPECT_TRUE(images_match(*src, *v->get_image()));
}

// The exposure changed between the crop and its undo: the full image comes back at the
// exposure shown now, and the readout still gives the file's values.
TEST_F(Viewer_edits, UndoOfACropAfterAnExposureChangeKeepsFileValues) {
  m_prefs->exposure_steps_choice->value(2);  // 1 F-stop
  const auto src = make_test_image(64, 32, k_type_exr, [](uint32_t x, uint32_t y) {
    return Rgb{0.01f * float(x + 1), 0.02f * float(y + 1), 0.5f};
  });
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "e.exr");
  const float first = v->exposure_factor();
  ASSERT_NE(first, 1.f);
  select(v, 4, 4, 19, 11);
  v->crop(1);
  v->exposure(0);
  const float now = v->exposure_factor();
  ASSERT_FLOAT_EQ(now, 2.f * first);
  v->undo();
  EXPECT_EQ(v->exposure_factor(), now);
  EXPECT_TRUE(images_match(*src, file_values(v), {0, 1e-5}));
  float r, g, b;
  v->get_pixel(63, 31, r, g, b);
  EXPECT_NEAR(r, 0.64f, 1e-5f);
  EXPECT_NEAR(g, 0.64f, 1e-5f);
  // And back: the crop returns at the exposure shown then, darker again.
  v->exposure(1);
  v->redo();
  ASSERT_EQ(v->get_image()->width(), 16);
  v->get_pixel(0, 0, r, g, b);
  EXPECT_NEAR(r, 0.05f, 1e-6f);
  EXPECT_NEAR(g, 0.10f, 1e-6f);
  EXPECT_NEAR(b, 0.5f, 1e-6f);
}

TEST_F(Viewer_edits, UndoOfAnEditMadeFromOutsideExchangesTheCopy) {
  // As the resize dialog does: record, change the image, mark it, redisplay.
  const auto src = make_test_image(40, 30, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "o.png");
  v->save_undo(k_change_resized, 0);
  expect_marks(v, true, false);
  v->get_image()->resize(20, 15, 1, 3, 1);
  v->set_modified(k_change_resized);
  v->update_view();
  v->undo();
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_resized));
  v->redo();
  EXPECT_EQ(v->get_image()->width(), 20);
  // A kind that is no edit leaves the record as it was.
  v->save_undo(64, 0);
  v->undo();
  EXPECT_EQ(v->get_image()->width(), 40);
}

TEST_F(Viewer_edits, UndoAndRedoRunOnlyWhileTheirMarkIsSet) {
  const auto src = make_test_image(10, 6, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "b.png");
  v->redo();  // nothing undone yet
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  v->rotate(90);
  v->undo();
  v->undo();  // already undone: the record is not applied twice
  EXPECT_TRUE(images_match(*src, *v->get_image()));
  expect_marks(v, false, true);
  v->redo();
  EXPECT_EQ(v->get_image()->width(), 6);
  v->redo();  // already redone
  EXPECT_EQ(v->get_image()->width(), 6);
  expect_marks(v, true, false);
}

void rotate_again(void* v) { static_cast<ImageDialogDrv*>(v)->rotate(90); }
void flip_again(void* v) { static_cast<ImageDialogDrv*>(v)->flip('x'); }

TEST_F(Viewer_edits, RotateOrFlipArrivingThroughTheBusyPumpIsIgnored) {
  const auto src = make_test_image(12, 7, k_type_png, numbered);
  ImageDialogDrv* v = open_test_viewer(std::make_unique<Hdr_image>(*src), "g.png");
  // Runs inside the first action's busy cursor, which pumps events.
  Fl::add_timeout(0.0, rotate_again, v);
  v->rotate(90);
  settle(0.05);
  EXPECT_EQ(v->get_image()->width(), 7);
  v->rotate(-90);
  EXPECT_EQ(v->modified_flags(), 0u);
  Fl::add_timeout(0.0, flip_again, v);
  v->flip('x');
  settle(0.05);
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_flipped));
  EXPECT_EQ((*v->get_image())(0, 0, 0, 0), (*src)(11, 0, 0, 0));
}

TEST_F(Viewer_edits, ScreenShowsTheTurnedImage) {
  // Four quadrants of known colours, 8-bit so that the display is the identity.
  const Rgb red{255.f, 0.f, 0.f}, green{0.f, 255.f, 0.f}, blue{0.f, 0.f, 255.f},
      orange{250.f, 128.f, 3.f};
  ImageDialogDrv* v = open_test_viewer(make_test_image(64, 48, k_type_png,
                                                       [&](uint32_t x, uint32_t y) {
                                                         if (y < 24) return x < 32 ? red : green;
                                                         return x < 32 ? blue : orange;
                                                       }),
                                       "shot.png", 640, 480);
  choose(v, "&Tools/Rotate Right");
  v->redraw();
  settle(0.2);
  ASSERT_EQ(v->image_box->w(), 48);
  ASSERT_EQ(v->image_box->h(), 64);
  const int bx = v->image_box->x(), by = v->image_box->y();
  v->make_current();
  std::vector<uchar> px(48 * 64 * 3);
  fl_read_image(px.data(), bx, by, 48, 64);
  auto at = [&](int x, int y, int c) { return float(px[(y * 48 + x) * 3 + c]); };
  // Clockwise: blue comes to the top left, red to the top right, green to the bottom
  // right, orange to the bottom left.
  const Rgb want[4] = {blue, red, orange, green};
  const int probes[4][2] = {{2, 2}, {45, 3}, {1, 62}, {47, 63}};
  for (int q = 0; q < 4; ++q) {
    EXPECT_EQ(at(probes[q][0], probes[q][1], 0), want[q].r) << "quadrant " << q;
    EXPECT_EQ(at(probes[q][0], probes[q][1], 1), want[q].g) << "quadrant " << q;
    EXPECT_EQ(at(probes[q][0], probes[q][1], 2), want[q].b) << "quadrant " << q;
  }
}

TEST_F(Viewer_edits, PseudoColorOpensAnUntitledViewerAndLeavesTheFirstAlone) {
  m_browser.answers().current_folder = [] { return std::string("/data/shots/"); };
  const auto src = make_test_image(40, 20, k_type_exr, [](uint32_t x, uint32_t y) {
    return Rgb{0.001f * float(1 << (x % 16)), 0.5f, 0.01f * float(y + 1)};
  });
  ImageDialogDrv* first = open_test_viewer(std::make_unique<Hdr_image>(*src), "p.exr");
  const Hdr_image before = *first->get_image();
  const std::string title = first->label();
  choose(first, "&Process/Pseudo Color");
  settle(0.05);

  std::vector<ImageDialogDrv*> others;
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (auto* v = dynamic_cast<ImageDialogDrv*>(w); v && v != first) others.push_back(v);
  ASSERT_EQ(others.size(), 1u);
  ImageDialogDrv* second = others[0];
  EXPECT_TRUE(second->shown());
  EXPECT_EQ(second->get_name(), "Untitled");
  EXPECT_EQ(second->get_path(), "/data/shots/Untitled");
  EXPECT_EQ(second->get_directory(), "/data/shots/");
  EXPECT_STREQ(second->label(), "Untitled + (100%) ");
  EXPECT_EQ(second->modified_flags(), uint32_t(k_change_new_image));
  EXPECT_TRUE(active(second, "&Image/&Save"));
  EXPECT_EQ(second->get_file_type(), uint32_t(k_type_new_ldr));

  // The converter's pseudo colour of the first viewer's pixels (exposure included).
  Hdr_image want = before;
  transform_color_space(Color_space_params{}, before, want);
  want.type = k_type_new_ldr;
  EXPECT_TRUE(images_match(want, *second->get_image()));
  EXPECT_GT(second->get_image()->max(), 200.f);  // the ramp reaches its bright end

  EXPECT_TRUE(images_match(before, *first->get_image()));
  EXPECT_EQ(first->modified_flags(), 0u);
  EXPECT_EQ(first->label(), title);
  EXPECT_FALSE(first->undo_available());
}

TEST_F(Viewer_edits, PseudoColorWhoseNewViewerFailsLeavesNoWindowBehind) {
  const auto src = make_test_image(30, 20, k_type_png, numbered);
  ImageDialogDrv* first = open_test_viewer(std::make_unique<Hdr_image>(*src), "f.png");
  const Hdr_image before = *first->get_image();
  settle(0.05);  // nothing left for the busy cursor's pump to deliver
  // The new viewer's set-up asks the grid for its files: that fails once, as an
  // allocation can.
  bool fail = true;
  m_browser.answers().grid_paths = [&fail]() -> std::vector<std::string> {
    if (fail) {
      fail = false;
      throw std::bad_alloc();
    }
    return {};
  };
  choose(first, "&Process/Pseudo Color");
  settle(0.05);
  m_browser.answers().grid_paths = nullptr;
  EXPECT_FALSE(fail);
  ASSERT_EQ(m_messages.alerts.size(), 1u);
  m_messages.alerts.clear();

  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    EXPECT_TRUE(w == first || !dynamic_cast<ImageDialogDrv*>(w)) << w->label();
  // Deleted at once, not left for the next viewer to delete.
  EXPECT_TRUE(g_closed_viewers.empty());
  EXPECT_TRUE(images_match(before, *first->get_image()));
  EXPECT_EQ(first->modified_flags(), 0u);
}

}  // namespace

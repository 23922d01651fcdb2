// Calibration from a viewer: "Calibrate...", the click on a pixel, the dialog's value
// taken without the viewer's exposure, and the change the viewer shows, marks and undoes.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Input.H>

#include <memory>
#include <string>

#include "core/hdr_image.h"
#include "core/preferences_dlg.h"
#include "hdr/calibrate_dlg_drv.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"

namespace {

// File values: pixel (7, 4) is (4, 8, 1), luminance 6.6442; (0, 0) is black; the rest a
// gentle ramp.
Rgb scene(uint32_t x, uint32_t y) {
  if (x == 7 && y == 4) return {4.f, 8.f, 1.f};
  if (x == 0 && y == 0) return {0.f, 0.f, 0.f};
  return {0.01f * float(x + 1), 0.02f * float(y + 1), 0.5f};
}

class Viewer_calibration : public ::testing::Test {
 protected:
  void SetUp() override {
    m_prefs = std::make_unique<PreferencesDlg>(550, 385, "Preferences");
    m_prefs->open_as_choice->value(1);  // original size: one screen pixel per image pixel
    g_preferences_dialog = m_prefs.get();
    dialog = std::make_unique<CalibrateDlgDrv>(490, 125, "Calibrate Image");
    browser.answers().start_calibration = [this](ImageDialogDrv& v, int x, int y) {
      dialog->start(v, x, y);
    };
    viewer = open_test_viewer(make_test_image(40, 30, k_type_exr, scene), "cal.exr", 640, 480);
    exposure = viewer->exposure_factor();
  }
  void TearDown() override {
    dialog->hide();
    delete_all_viewers();
    g_preferences_dialog = nullptr;
  }

  // "Calibrate...", then a press on image pixel (x, y).
  void click_pixel(int x, int y) {
    const Fl_Menu_Item* item = viewer->menu_item("&Tools/Calibrate...");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->active());
    item->do_callback(viewer->menu_bar);
    Fl::e_x = viewer->image_box->x() + x;
    Fl::e_y = viewer->image_box->y() + y;
    Fl::e_x_root = viewer->x() + Fl::e_x;
    Fl::e_y_root = viewer->y() + Fl::e_y;
    viewer->handle(FL_PUSH);
    ASSERT_TRUE(dialog->shown());
  }
  void calibrate(double value) {
    dialog->value_input->value(value);
    dialog->calibrate_button->do_callback();
  }
  // The image's values with the viewer's exposure divided out.
  Hdr_image file_values() const {
    Hdr_image values = *viewer->get_image();
    values /= viewer->exposure_factor();
    return values;
  }

  Scripted_messages messages;
  Fake_browser browser;
  std::unique_ptr<PreferencesDlg> m_prefs;
  std::unique_ptr<CalibrateDlgDrv> dialog;
  ImageDialogDrv* viewer = nullptr;
  float exposure = 1.f;
};

TEST_F(Viewer_calibration, KnownPixelAndValueGiveTheFactorAndTheViewerMarksIt) {
  ASSERT_NE(exposure, 1.f);  // an HDR image at its first-display exposure
  const Hdr_image before = *viewer->get_image();
  ASSERT_EQ(viewer->modified_flags(), 0u);
  ASSERT_FALSE(viewer->menu_item("&Image/&Save")->active());

  click_pixel(7, 4);
  EXPECT_FLOAT_EQ(float(dialog->value_input->value()), 6.6442f);
  calibrate(100.0);

  const float factor = float(100.0 / (double(dialog->luminance()) + 1e-6));
  Hdr_image expected = before;
  expected *= factor;
  EXPECT_TRUE(images_match(expected, *viewer->get_image()));
  float r, g, b;
  viewer->get_pixel(7, 4, r, g, b);
  EXPECT_NEAR(0.7152f * g + 0.2126f * r + 0.0722f * b, 100.f, 1e-3f);
  // Change bit 16 turns Save on for an image that had no other change.
  EXPECT_EQ(viewer->modified_flags(), uint32_t(k_change_calibrated));
  EXPECT_TRUE(viewer->menu_item("&Image/&Save")->active());
  EXPECT_NE(std::string(viewer->label()).find(" +"), std::string::npos) << viewer->label();
  EXPECT_TRUE(viewer->undo_available());
  EXPECT_FALSE(dialog->shown());
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Viewer_calibration, LuminanceIgnoresTheViewersExposure) {
  viewer->exposure(0);
  viewer->exposure(0);
  ASSERT_GT(viewer->exposure_factor(), exposure);
  click_pixel(7, 4);
  EXPECT_FLOAT_EQ(dialog->luminance(), 6.6442f);
}

TEST_F(Viewer_calibration, BlackPixelMultipliesByAMillionTimesTheValue) {
  const Hdr_image before = file_values();
  click_pixel(0, 0);
  EXPECT_EQ(dialog->luminance(), 0.f);
  calibrate(0.5);
  Hdr_image expected = before;
  expected *= 5e5f;
  EXPECT_TRUE(images_match(expected, file_values(), {0, 1e-5, 0}));
}

TEST_F(Viewer_calibration, ZeroThenUndoRestoresTheImageExactly) {
  const Hdr_image before = *viewer->get_image();
  click_pixel(7, 4);
  calibrate(0.0);
  EXPECT_TRUE(images_match(Hdr_image(40, 30, 1, 3, 0.f), *viewer->get_image()));
  viewer->undo();
  EXPECT_TRUE(images_match(before, *viewer->get_image()));
  EXPECT_EQ(viewer->exposure_factor(), exposure);
  // Redo blackens it again; the change bit stays throughout.
  viewer->redo();
  EXPECT_TRUE(images_match(Hdr_image(40, 30, 1, 3, 0.f), *viewer->get_image()));
  EXPECT_EQ(viewer->modified_flags(), uint32_t(k_change_calibrated));
}

TEST_F(Viewer_calibration, CancelChangesNothing) {
  const Hdr_image before = *viewer->get_image();
  click_pixel(7, 4);
  EXPECT_FALSE(viewer->calibrate_pending());
  dialog->value_input->value(100.0);
  dialog->cancel_button->do_callback();
  EXPECT_FALSE(dialog->shown());
  EXPECT_TRUE(images_match(before, *viewer->get_image()));
  EXPECT_EQ(viewer->modified_flags(), 0u);
  EXPECT_FALSE(viewer->undo_available());
  EXPECT_FALSE(viewer->menu_item("&Image/&Save")->active());
}

TEST_F(Viewer_calibration, RefusedValueLeavesTheViewerAsItWas) {
  const Hdr_image before = *viewer->get_image();
  click_pixel(7, 4);
  calibrate(-1.0);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_TRUE(images_match(before, *viewer->get_image()));
  EXPECT_EQ(viewer->modified_flags(), 0u);
  EXPECT_FALSE(viewer->undo_available());
  EXPECT_TRUE(dialog->shown());
}

TEST_F(Viewer_calibration, ViewerClosedOrDeletedWhileTheDialogIsOpenIsNotTouched) {
  const Hdr_image before = *viewer->get_image();
  click_pixel(7, 4);
  viewer->close_window();
  calibrate(100.0);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_TRUE(images_match(before, *viewer->get_image()));
  EXPECT_EQ(viewer->modified_flags(), 0u);
  EXPECT_FALSE(dialog->shown());

  // Deleted by the next viewer's construction: the dialog must not reach it.
  ImageDialogDrv* other =
      open_test_viewer(make_test_image(40, 30, k_type_exr, scene), "other.exr", 640, 480);
  viewer = other;
  click_pixel(7, 4);
  other->close_window();
  auto* third = new ImageDialogDrv(640, 480, "third");  // deletes the closed viewers
  calibrate(100.0);
  EXPECT_EQ(messages.alerts.size(), 2u);
  delete third;
  viewer = nullptr;
}

}  // namespace

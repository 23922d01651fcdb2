// The main window's Resize... and Crop...: the same-size check, the dialogs opened for
// the selection, and the written files appearing in the grid.
#include <gtest/gtest.h>

#include <FL/Fl_Input.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>

#include <string>
#include <vector>

#include "browser/browser_seam_setup.h"
#include "browser/dir_view.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"
#include "browser/program_exit.h"
#include "browser/selection_checks.h"
#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/command_boundary.h"
#include "core/event_pump.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "tests/support/fake_browser.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "viewer/crop_dlg.h"
#include "viewer/resize_dlg.h"

namespace {

void write_grey_png(const std::string& path, uint32_t w, uint32_t h) {
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 7);
  Png_layout layout;
  layout.width = w;
  layout.height = h;
  write_png(path, layout, rgb.data());
}

class Main_window_batch_dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    write_grey_png(m_dir.file("a.png"), 8, 6);
    write_grey_png(m_dir.file("b.png"), 8, 6);
    g_resize_dialog = new ResizeDlgDrv(390, 295, "Resize Image");
    g_crop_dialog = new CropDlgDrv(365, 235, "Crop Image");
    ASSERT_NO_FATAL_FAILURE(open_main_window_on(m_dir.path(), window));
    install_browser_seam();
    ASSERT_EQ(g_icon_view->icons.size(), 2u);
    g_icon_view->select_all();
  }
  void TearDown() override {
    delete window;
    delete g_resize_dialog;
    g_resize_dialog = nullptr;
    delete g_crop_dialog;
    g_crop_dialog = nullptr;
  }
  bool has_tile(const std::string& name) const {
    return g_icon_view->find_icon(name, m_dir.path()) != nullptr;
  }
  Hdr_image load(const std::string& name) const {
    Hdr_image img;
    load_image(img, m_dir.file(name), k_type_png);
    return img;
  }

  Fake_browser m_browser;  // the browser's own answers, put back after
  Temp_dir m_dir;
  Scripted_messages m_messages;
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
};

TEST_F(Main_window_batch_dialogs, ResizeWritesTheSelectionAndShowsTheNewTiles) {
  window->resize_images();
  ResizeDlgDrv* d = g_resize_dialog;
  ASSERT_TRUE(d->shown());
  EXPECT_EQ(d->files().size(), 2u);
  EXPECT_EQ(d->reference_width(), 8u);
  EXPECT_EQ(d->destination_input->value(), m_dir.path());
  d->percent_button->setonly();
  d->percent_button->do_callback();
  d->width_input->value("50");
  d->width_input->do_callback();
  d->resize_button->do_callback();

  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_EQ(load("a_resize.png").width(), 4);
  EXPECT_EQ(load("b_resize.png").height(), 3);
  EXPECT_TRUE(has_tile("a_resize.png"));
  EXPECT_TRUE(has_tile("b_resize.png"));
  EXPECT_FALSE(g_status_progress->visible());
}

// The user's "Rotate Right" as an event served by the resize's progress: once, while the
// status bar shows the resize running.
MainWindowDrv* g_rotating_window = nullptr;
int g_rotations_tried = 0;
void rotate_from_the_pump() {
  if (!g_rotating_window || g_rotations_tried > 0 || !g_status_progress->visible()) return;
  ++g_rotations_tried;
  g_rotating_window->rotate_images(90);
}

// One job at a time: the rotation is refused with one alert, the resize writes every file
// and the sources stay as they were.
TEST_F(Main_window_batch_dialogs, BatchRotateDuringABatchResizeIsRefused) {
  window->resize_images();
  ResizeDlgDrv* d = g_resize_dialog;
  d->percent_button->setonly();
  d->percent_button->do_callback();
  d->width_input->value("50");
  d->width_input->do_callback();
  g_rotating_window = window;
  g_rotations_tried = 0;
  const Event_pump_fn previous = set_event_pump(rotate_from_the_pump);
  d->resize_button->do_callback();
  set_event_pump(previous);
  g_rotating_window = nullptr;

  EXPECT_EQ(g_rotations_tried, 1);
  EXPECT_EQ(m_messages.alerts, std::vector<std::string>{k_job_running_text});
  EXPECT_EQ(load("a_resize.png").width(), 4);
  EXPECT_EQ(load("b_resize.png").width(), 4);
  EXPECT_EQ(load("a.png").width(), 8);  // not turned
  EXPECT_EQ(load("b.png").width(), 8);
  EXPECT_FALSE(g_status_progress->visible());
  EXPECT_FALSE(d->shown());
}

TEST_F(Main_window_batch_dialogs, CropWritesTheSelectionAndShowsTheNewTiles) {
  window->crop_images();
  CropDlgDrv* d = g_crop_dialog;
  ASSERT_TRUE(d->shown());
  EXPECT_STREQ(d->label(), "Batch Crop Images");
  d->y_input->value("2");
  d->height_input->value("3");
  d->crop_button->do_callback();

  EXPECT_TRUE(m_messages.alerts.empty());
  const Hdr_image a = load("a_crop.png");
  EXPECT_EQ(a.width(), 8);
  EXPECT_EQ(a.height(), 3);
  EXPECT_TRUE(has_tile("a_crop.png"));
  EXPECT_TRUE(has_tile("b_crop.png"));
}

TEST_F(Main_window_batch_dialogs, SelectionsOfDifferentSizesAreRefused) {
  write_grey_png(m_dir.file("c.png"), 5, 6);
  g_icon_view->load_directory(m_dir.path());
  g_icon_view->select_all();
  window->resize_images();
  window->crop_images();
  EXPECT_EQ(m_messages.alerts, (std::vector<std::string>{k_resize_size_alert, k_crop_size_alert}));
  EXPECT_FALSE(g_resize_dialog->shown());
  EXPECT_FALSE(g_crop_dialog->shown());
}

}  // namespace

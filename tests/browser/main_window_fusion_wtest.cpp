// "&Process/Fuse Exposures..." from the main menu through the grid's selection to a viewer.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <gtest/gtest.h>

#include <cstdint>
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
#include "hdr/exposure_fusion_dialog_drv.h"
#include "hdr/progress_dialog.h"
#include "tests/support/fake_browser.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"

namespace {

void write_exposure(const std::string& path, uint32_t w, uint32_t h, uint8_t level) {
  std::vector<uint8_t> rgb;
  for (uint32_t i = 0; i < w * h; ++i)
    for (int c = 0; c < 3; ++c) rgb.push_back(uint8_t(level + (i * 5 + c * 3) % 40));
  Png_layout layout;
  layout.width = w;
  layout.height = h;
  write_png(path, layout, rgb.data());
}

class Main_window_fusion : public ::testing::Test {
 protected:
  void SetUp() override {
    // Viewers left by earlier tests in this process would be counted as the result's.
    delete_all_viewers();
    m_previous_dialog = g_fusion_dialog;
    g_fusion_dialog = &m_dialog;
    m_previous_progress = g_progress_dialog;
    g_progress_dialog = &m_progress;
    write_exposure(m_dir.file("a.png"), 12, 8, 30);
    write_exposure(m_dir.file("b.png"), 12, 8, 110);
    write_exposure(m_dir.file("c.png"), 12, 8, 190);
    write_exposure(m_dir.file("wide.png"), 13, 8, 110);
    ASSERT_NO_FATAL_FAILURE(open_main_window_on(m_dir.path(), window));
    install_browser_seam();
    ASSERT_EQ(g_icon_view->icons.size(), 4u);
  }
  void TearDown() override {
    delete_all_viewers();
    m_dialog.hide();
    m_progress.hide();
    delete window;
    g_fusion_dialog = m_previous_dialog;
    g_progress_dialog = m_previous_progress;
  }
  void select(const std::vector<std::string>& names) {
    g_icon_view->deselect_all();
    for (const std::string& name : names) {
      Icon* tile = g_icon_view->find_icon(name, m_dir.path());
      ASSERT_NE(tile, nullptr) << name;
      g_icon_view->add_to_selection(tile);
    }
    g_icon_view->update_menus();
  }
  // The viewers now shown, newest last.
  static std::vector<ImageDialogDrv*> shown_viewers() {
    std::vector<ImageDialogDrv*> out;
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
      if (auto* v = dynamic_cast<ImageDialogDrv*>(w)) out.push_back(v);
    return out;
  }

  Fake_browser m_browser;  // the browser's own answers, put back after
  Temp_dir m_dir;
  Scripted_messages m_messages;
  ProgressDialog m_progress{420, 115, "Progress"};
  ExposureFusionDialogDrv m_dialog{295, 210, "Exposure Fusion"};
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
  ExposureFusionDialogDrv* m_previous_dialog = nullptr;
  ProgressDialog* m_previous_progress = nullptr;
};

TEST_F(Main_window_fusion, MenuItemShowsTheDialogAndFuseOpensAViewerOfTheCurrentFolder) {
  select({"c.png", "a.png", "b.png"});
  const Fl_Menu_Item* item = find_menu_item("&Process/Fuse Exposures...");
  ASSERT_NE(item, nullptr);
  ASSERT_TRUE(item->active());
  g_menu_bar->picked(item);
  EXPECT_TRUE(m_dialog.shown());
  EXPECT_TRUE(m_messages.alerts.empty());

  m_dialog.fuse_button->do_callback();
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_FALSE(m_dialog.shown());
  const std::vector<ImageDialogDrv*> viewers = shown_viewers();
  ASSERT_EQ(viewers.size(), 1u);
  EXPECT_EQ(viewers[0]->get_name(), "Untitled");
  EXPECT_EQ(viewers[0]->get_path(), g_dir_view->current_dir() + "Untitled");
  EXPECT_EQ(viewers[0]->get_file_type(), uint32_t(k_type_new_ldr));
  EXPECT_NE(viewers[0]->modified_flags() & k_change_new_image, 0u);
  ASSERT_NE(viewers[0]->get_image(), nullptr);
  EXPECT_EQ(viewers[0]->get_image()->width(), 12);
  EXPECT_EQ(viewers[0]->get_image()->height(), 8);
}

TEST_F(Main_window_fusion, DifferentResolutionsAreRefusedBeforeTheDialogOpens) {
  select({"a.png", "wide.png"});
  window->fuse_exposures();
  EXPECT_EQ(
      m_messages.alerts,
      std::vector<std::string>{"All images should have the same resolution for fusing exposures."});
  EXPECT_FALSE(m_dialog.shown());
}

TEST_F(Main_window_fusion, FuseReadsTheSelectionWhenPressed) {
  // The tiles selected when the dialog opened may be gone by the time "Fuse" is pressed.
  select({"a.png", "b.png"});
  window->fuse_exposures();
  ASSERT_TRUE(m_dialog.shown());
  select({"b.png", "c.png", "a.png"});
  g_icon_view->remove_file(m_dir.file("a.png"));
  m_dialog.fuse_button->do_callback();
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_EQ(shown_viewers().size(), 1u);
}

}  // namespace

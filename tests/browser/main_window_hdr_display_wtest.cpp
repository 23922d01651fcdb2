// The main window's "Show on HDR Display": the selected HDR file is loaded and handed to
// the HDR-monitor window, which shows it; an unreadable file is alerted and shows nothing.
#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "browser/dir_view.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"
#include "browser/program_exit.h"
#include "core/app_globals.h"
#include "core/hdr_image.h"
#include "tests/support/exr_fixture.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/ogl_window.h"

namespace {

const bool k_mesa_override = [] {
  setenv("MESA_GL_VERSION_OVERRIDE", "4.6", 0);
  setenv("MESA_GLSL_VERSION_OVERRIDE", "460", 0);
  setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
  return true;
}();

class Main_window_hdr_display : public ::testing::Test {
 protected:
  void SetUp() override {
    g_hdr_display_window = new OglWindow;
    // A 3 x 2 scene whose samples differ in every channel.
    const float r[] = {0.5f, 2.f, 40.f, 1e-3f, 7.f, 300.f};
    const float g[] = {0.25f, 1.f, 20.f, 2e-3f, 3.f, 150.f};
    const float b[] = {0.125f, 4.f, 10.f, 4e-3f, 1.f, 75.f};
    Exr_layout layout;
    layout.width = 3;
    layout.height = 2;
    write_exr(m_dir.file("scene.exr"), layout, {{"R", r}, {"G", g}, {"B", b}});
    ASSERT_NO_FATAL_FAILURE(open_main_window_on(m_dir.path(), window));
    ASSERT_EQ(g_icon_view->icons.size(), 1u);
    g_icon_view->select_all();
  }
  void TearDown() override {
    delete window;
    delete g_hdr_display_window;
    g_hdr_display_window = nullptr;
  }

  static void pick(const char* path) {
    const Fl_Menu_Item* item = g_menu_bar->find_item(path);
    ASSERT_NE(item, nullptr) << path;
    EXPECT_TRUE(item->active()) << path;  // one HDR tile selected
    item->do_callback(g_menu_bar);
  }

  Temp_dir m_dir;
  Scripted_messages m_messages;
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
};

TEST_F(Main_window_hdr_display, TheSelectedFileIsLoadedAndShown) {
  OglWindow* display = g_hdr_display_window;
  pick("&View/Show on HDR Display");
  for (int i = 0; i < 300 && !display->shown(); ++i) Fl::wait(0.01);
  settle(0.1);
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_TRUE(m_messages.messages.empty());
  ASSERT_EQ(g_hdr_display_window, display);
  EXPECT_TRUE(display->shown());
  EXPECT_FALSE(display->needs_setup());
  const Hdr_image* image = display->image();
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->width(), 3);
  ASSERT_EQ(image->height(), 2);
  EXPECT_FLOAT_EQ((*image)(2, 1, 0, 0), 300.f);
  EXPECT_FLOAT_EQ((*image)(2, 1, 0, 1), 150.f);
  EXPECT_FLOAT_EQ((*image)(2, 1, 0, 2), 75.f);
  EXPECT_FLOAT_EQ((*image)(0, 1, 0, 2), 4e-3f);
}

TEST_F(Main_window_hdr_display, AnUnreadableFileIsAlertedAndNothingIsShown) {
  ASSERT_TRUE(write_file_bytes(m_dir.file("scene.exr"), "not an image at all"));
  OglWindow* display = g_hdr_display_window;
  pick("&View/Show on HDR Display");
  settle(0.1);
  EXPECT_EQ(m_messages.alerts,
            std::vector<std::string>{"Cannot read image. Image data seems to be corrupted."});
  ASSERT_EQ(g_hdr_display_window, display);
  EXPECT_FALSE(display->shown());
  EXPECT_EQ(display->image(), nullptr);
}

}  // namespace

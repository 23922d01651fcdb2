// A tile whose file another program deleted or moved: opening, rotating or flipping it
// says the file no longer exists, by name (not that its data is corrupted), and takes
// its tile out of the grid; the other tiles stay.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "browser/browser_seam_setup.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"
#include "core/app_globals.h"
#include "core/hdr_image.h"
#include "tests/support/fake_browser.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

void write_picture(const std::string& path) {
  const std::vector<uint8_t> rgb(6 * 4 * 3, 90);
  Png_layout layout;
  layout.width = 6;
  layout.height = 4;
  write_png(path, layout, rgb.data());
}

struct Command_case {
  const char* name;
  void (*run)(MainWindowDrv& window);
};

class Vanished_file : public ::testing::TestWithParam<Command_case> {
 protected:
  void SetUp() override {
    write_picture(m_dir.file("a.png"));
    write_picture(m_dir.file("b.png"));
    ASSERT_NO_FATAL_FAILURE(open_main_window_on(m_dir.path(), window));
    install_browser_seam();
    ASSERT_EQ(g_icon_view->icons.size(), 2u);
  }
  void TearDown() override { delete window; }

  Fake_browser m_browser;  // the browser's own answers, put back after
  Temp_dir m_dir;
  Scripted_messages m_messages;
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
};

TEST_P(Vanished_file, IsToldByNameAndItsTileLeavesTheGrid) {
  Icon* tile = g_icon_view->find_icon("a.png", m_dir.path());
  ASSERT_NE(tile, nullptr);
  g_icon_view->deselect_all();
  g_icon_view->add_to_selection(tile);
  ASSERT_EQ(std::remove(m_dir.file("a.png").c_str()), 0);  // by another program
  GetParam().run(*window);
  EXPECT_EQ(m_messages.alerts,
            std::vector<std::string>{"The file '" + m_dir.file("a.png") + "' no longer exists."});
  EXPECT_EQ(g_icon_view->find_icon("a.png", m_dir.path()), nullptr);
  ASSERT_EQ(g_icon_view->icons.size(), 1u);
  EXPECT_EQ(g_icon_view->icons[0]->name, "b.png");
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    EXPECT_FALSE(w->label() && std::strncmp(w->label(), "a.png", 5) == 0) << "a viewer opened";
}

const Command_case k_commands[] = {
    {"Open", [](MainWindowDrv& w) { w.open_image(); }},
    {"RotateRight", [](MainWindowDrv& w) { w.rotate_images(90); }},
    {"FlipHorizontal", [](MainWindowDrv& w) { w.flip_images('x'); }},
};

INSTANTIATE_TEST_SUITE_P(Commands, Vanished_file, ::testing::ValuesIn(k_commands),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

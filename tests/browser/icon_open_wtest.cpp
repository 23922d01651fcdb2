// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <cstring>
#include <new>
#include <vector>

#include "browser/icon_open.h"
#include "core/app_globals.h"
#include "core/hdr_image.h"
#include "tests/support/fake_browser.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"

namespace {

// The shown window whose title starts with the file name (the viewer adds its zoom), or null.
Fl_Window* shown_window_titled(const char* name) {
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (w->label() && std::strncmp(w->label(), name, std::strlen(name)) == 0) return w;
  return nullptr;
}

TEST(Tile_open, OpensTheImageInAViewerTitledWithTheFileName) {
  Temp_dir dir;
  const std::vector<uint8_t> rgb(4 * 3 * 3, 200);
  Png_layout layout;
  layout.width = 4;
  layout.height = 3;
  write_png(dir.file("tile.png"), layout, rgb.data());
  ASSERT_TRUE(open_tile_image(dir.file("tile.png"), "tile.png", dir.path(), k_type_png));
  Fl_Window* viewer = shown_window_titled("tile.png");
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->shown());
  delete viewer;  // hidden only, it would outlive the test unreachable
}

TEST(Tile_open, UnreadableFileOpensNothing) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("bad.png"), "not a png"));
  Scripted_messages messages;
  EXPECT_FALSE(open_tile_image(dir.file("bad.png"), "bad.png", dir.path(), k_type_png));
  EXPECT_EQ(shown_window_titled("bad.png"), nullptr);
  EXPECT_EQ(messages.alerts, std::vector<std::string>{k_tile_open_alert});
}

// The file loads but the viewer's set-up fails (it asks the grid for its files, which
// fails as an allocation can, or with something that is no std::exception): the
// half-built viewer is neither shown nor kept alive, and the user reads the one alert.
class Tile_open_hand_over : public ::testing::TestWithParam<void (*)()> {};

TEST_P(Tile_open_hand_over, FailedHandOverLeavesNoViewerShownOrAlive) {
  Temp_dir dir;
  const std::vector<uint8_t> rgb(4 * 3 * 3, 200);
  Png_layout layout;
  layout.width = 4;
  layout.height = 3;
  write_png(dir.file("tile.png"), layout, rgb.data());
  Fake_browser browser;
  Scripted_messages messages;
  static void (*s_fail)() = nullptr;
  s_fail = GetParam();
  browser.answers().grid_paths = []() -> std::vector<std::string> {
    s_fail();
    return {};
  };
  const int before = ImageDialogDrv::live_count();
  bool opened = true;
  EXPECT_NO_THROW(opened =
                      open_tile_image(dir.file("tile.png"), "tile.png", dir.path(), k_type_png));
  EXPECT_FALSE(opened);
  EXPECT_EQ(ImageDialogDrv::live_count(), before);
  EXPECT_EQ(shown_window_titled("tile.png"), nullptr);
  EXPECT_TRUE(g_closed_viewers.empty());
  EXPECT_EQ(messages.alerts, std::vector<std::string>{k_tile_open_alert});
}

INSTANTIATE_TEST_SUITE_P(Throws, Tile_open_hand_over,
                         ::testing::Values([] { throw std::bad_alloc(); }, [] { throw 42; }));

// A file cut short opens as far as it decodes, and one alert says so.
TEST(Tile_open, CutJpegOpensWithOneDamageAlert) {
  Temp_dir dir;
  write_textured_jpeg(dir.file("whole.jpg"), 120, 90, 3);
  const std::string bytes = read_file_bytes(dir.file("whole.jpg"));
  ASSERT_TRUE(write_file_bytes(dir.file("cut.jpg"), cut_in_scan(bytes)));
  Scripted_messages messages;
  ASSERT_TRUE(open_tile_image(dir.file("cut.jpg"), "cut.jpg", dir.path(), k_type_jpeg));
  Fl_Window* viewer = shown_window_titled("cut.jpg");
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(messages.alerts,
            (std::vector<std::string>{"Image data is damaged; the picture is incomplete: " +
                                      dir.file("cut.jpg")}));
  delete_all_viewers();
}

}  // namespace

// The image named on the command line opens in a viewer titled with its file name, and
// its folder becomes the browser's current folder; an unreadable one only alerts.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <algorithm>
#include <string>
#include <vector>

#include "browser/dir_view.h"
#include "browser/startup.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"

namespace {

ImageDialogDrv* shown_viewer() {
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (auto* v = dynamic_cast<ImageDialogDrv*>(w)) return v;
  return nullptr;
}

class Command_line_image : public ::testing::Test {
 protected:
  void SetUp() override { g_dir_view = &view; }
  void TearDown() override {
    delete_all_viewers();
    g_dir_view = nullptr;
  }
  Temp_dir dir;
  Dir_view view{0, 0, 170, 300};
};

TEST_F(Command_line_image, OpensInAViewerAndSynchronisesTheBrowser) {
  Scripted_messages messages;
  const std::vector<uint8_t> rgb(16 * 9 * 3, 200);
  write_png(dir.file("shot.png"), Png_layout{16, 9, 3, 8, {}}, rgb.data());
  open_command_line_image(dir.file("shot.png"));
  ImageDialogDrv* v = shown_viewer();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->get_name(), "shot.png");
  EXPECT_STREQ(v->label(), "shot.png (100%) ");
  EXPECT_EQ(v->get_image()->width(), 16);
  EXPECT_EQ(view.current_dir(), dir.path());
  const auto& recent = view.recent_dirs().entries();
  EXPECT_NE(std::find(recent.begin(), recent.end(), dir.path()), recent.end());
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Command_line_image, UnreadableFileOnlyAlerts) {
  Scripted_messages messages;
  open_command_line_image(dir.file("missing.exr"));
  EXPECT_EQ(shown_viewer(), nullptr);
  EXPECT_EQ(messages.alerts.size(), 1u);
  EXPECT_TRUE(view.current_dir().empty());
}

}  // namespace

// The browser's answer for HDR creation's result: the viewer it opens and a result whose
// viewer fails.
// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "browser/browser_seam_setup.h"
#include "core/app_globals.h"
#include "core/hdr_image.h"
#include "hdr/hdr_links.h"
#include "tests/support/fake_browser.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"

namespace {

Rgb grey(uint32_t, uint32_t) { return {0.25f, 0.5f, 1.0f}; }

// The only shown viewer, or null.
ImageDialogDrv* shown_viewer() {
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (auto* v = dynamic_cast<ImageDialogDrv*>(w)) return v;
  return nullptr;
}

TEST(Create_hdr_host, OpensTheResultAsAnUntitledNewImageInTheFolder) {
  Fake_browser browser;
  install_browser_seam();
  ASSERT_TRUE(show_result(make_test_image(6, 4, k_type_new_hdr, grey), "/tmp/r/"));
  ImageDialogDrv* v = shown_viewer();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->get_name(), "Untitled");
  EXPECT_EQ(v->get_path(), "/tmp/r/Untitled");
  EXPECT_EQ(v->modified_flags(), k_change_new_image);
  delete_all_viewers();
}

// The viewer's set-up asks the grid for its files, which fails as an allocation can: the
// failure reaches the dialog (which alerts it) and no viewer is left shown or alive.
TEST(Create_hdr_host, FailedHandOverLeavesNoViewerShownOrAlive) {
  Fake_browser browser;
  install_browser_seam();
  browser.answers().grid_paths = []() -> std::vector<std::string> { throw std::bad_alloc(); };
  const int before = ImageDialogDrv::live_count();
  EXPECT_THROW(show_result(make_test_image(6, 4, k_type_new_hdr, grey), "/tmp/r/"), std::bad_alloc);
  EXPECT_EQ(ImageDialogDrv::live_count(), before);
  EXPECT_EQ(shown_viewer(), nullptr);
  EXPECT_TRUE(g_closed_viewers.empty());
}

}  // namespace

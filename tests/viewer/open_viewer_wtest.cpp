// Opening a viewer on an image in hand: what the new window shows and, when the hand-over
// fails, that no window is left shown, waiting or alive.
// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <functional>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/hdr_image.h"
#include "tests/support/fake_browser.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_new_result.h"
#include "viewer/open_viewer.h"
#include "viewer/viewer_geometry.h"

namespace {

Rgb grey(uint32_t, uint32_t) { return {0.5f, 0.5f, 0.5f}; }

struct Way {
  const char* name;
  // Opens a viewer on the image the way one caller does; null when it gave none.
  std::function<ImageDialogDrv*(std::unique_ptr<Hdr_image>)> open;
  std::string path, title;
  uint32_t changes;
};

void PrintTo(const Way& way, std::ostream* os) { *os << way.name; }

const Way k_ways[] = {
    {"file",
     [](std::unique_ptr<Hdr_image> im) {
       return open_viewer(std::move(im), "/tmp/pic/a.png", "a.png", "/tmp/pic/");
     },
     "/tmp/pic/a.png", "a.png", 0u},
    {"new_result",
     [](std::unique_ptr<Hdr_image> im) { return open_new_result(std::move(im), "/tmp/pic/"); },
     "/tmp/pic/Untitled", "Untitled", k_change_new_image},
    {"alerting",
     [](std::unique_ptr<Hdr_image> im) {
       return open_viewer_or_alert(std::move(im), "/tmp/pic/b.exr", "b.exr", "/tmp/pic/",
                                   k_change_new_image);
     },
     "/tmp/pic/b.exr", "b.exr", k_change_new_image},
};

class Open_viewer : public ::testing::TestWithParam<Way> {
 protected:
  void TearDown() override {
    m_browser.answers().grid_paths = nullptr;  // closing asks no grid that fails
    delete_all_viewers();
  }
  bool any_viewer_shown() const {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
      if (dynamic_cast<ImageDialogDrv*>(w)) return true;
    return false;
  }
  Scripted_messages m_messages;
  Fake_browser m_browser;
};

TEST_P(Open_viewer, ShowsTheImageUnderItsNameWithItsChangeBits) {
  const Way& way = GetParam();
  const int before = ImageDialogDrv::live_count();
  ImageDialogDrv* v = way.open(make_test_image(8, 6, k_type_png, grey));
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->shown());
  EXPECT_EQ(ImageDialogDrv::live_count(), before + 1);
  EXPECT_EQ(v->get_name(), way.title);
  EXPECT_EQ(v->get_path(), way.path);
  EXPECT_EQ(v->modified_flags(), way.changes);
  EXPECT_EQ(v->get_image()->width(), 8u);
  EXPECT_TRUE(m_messages.alerts.empty());
}

TEST_P(Open_viewer, FailedHandOverLeavesNoViewerShownOrAlive) {
  const Way& way = GetParam();
  // The hand-over asks the grid for its files: that fails, as an allocation can.
  m_browser.answers().grid_paths = []() -> std::vector<std::string> { throw std::bad_alloc(); };
  const int before = ImageDialogDrv::live_count();
  bool threw = false;
  ImageDialogDrv* v = nullptr;
  try {
    v = way.open(make_test_image(8, 6, k_type_png, grey));
  } catch (const std::bad_alloc&) {
    threw = true;
  }
  EXPECT_EQ(v, nullptr);
  // Only the alerting way reports the failure itself; the others leave it to their callers.
  const bool alerts = std::string(way.name) == "alerting";
  EXPECT_EQ(threw, !alerts);
  EXPECT_EQ(m_messages.alerts.size(), alerts ? 1u : 0u);
  EXPECT_EQ(ImageDialogDrv::live_count(), before);
  EXPECT_TRUE(g_closed_viewers.empty());
  EXPECT_FALSE(any_viewer_shown());
}

// A picture about the size of the screen opens inside the work area, title bar and all,
// not where the window manager would put a window of its size.
TEST_P(Open_viewer, LargePictureOpensInsideTheWorkArea) {
  int mx = 0, my = 0;
  Fl::get_mouse(mx, my);
  int sx = 0, sy = 0, sw = 0, sh = 0;
  Fl::screen_work_area(sx, sy, sw, sh, mx, my);
  const uint32_t sizes[][2] = {{uint32_t(sw) * 4 / 5, uint32_t(sh) * 9 / 10},
                               {uint32_t(sw) * 2, uint32_t(sh) / 2},
                               {uint32_t(sw) / 4, uint32_t(sh) * 2}};  // as tall as allowed
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]));
    ImageDialogDrv* v = GetParam().open(make_test_image(size[0], size[1], k_type_exr, grey));
    ASSERT_NE(v, nullptr);
    Fl::check();
    EXPECT_GE(v->x(), sx);
    EXPECT_LE(v->x() + v->w(), sx + sw);
    EXPECT_GE(v->y() - k_viewer_title_room, sy);
    EXPECT_LE(v->y() + v->h(), sy + sh);
    delete_all_viewers();
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, Open_viewer, ::testing::ValuesIn(k_ways),
                         [](const ::testing::TestParamInfo<Way>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace

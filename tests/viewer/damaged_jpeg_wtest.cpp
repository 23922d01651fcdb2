// A JPEG cut short opens in the viewer as far as it decodes, with one alert naming the
// file and saying its data is damaged, however the viewer comes to it.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_save.h"
#include "tests/support/fake_browser.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_in_viewer.h"

namespace {

enum class Way { dropped, next_image };

struct Open_case {
  const char* name;
  Way way;
};

class Damaged_jpeg_viewer : public ::testing::TestWithParam<Open_case> {
 protected:
  void SetUp() override {
    write_textured_jpeg(dir.file("whole.jpg"), 240, 160, 3);
    const std::string bytes = read_file_bytes(dir.file("whole.jpg"));
    ASSERT_TRUE(write_file_bytes(dir.file("cut.jpg"), cut_in_scan(bytes)));
    auto first = make_test_image(8, 8, k_type_png, [](uint32_t, uint32_t) {
      return Rgb{10.f, 20.f, 30.f};
    });
    save_image_as(*first, dir.file("a.png"), k_type_png);
    m_paths = {dir.file("a.png"), dir.file("cut.jpg")};
    m_browser.answers().grid_paths = [this] { return m_paths; };
  }
  void TearDown() override { delete_all_viewers(); }

  Fake_browser m_browser;

  Temp_dir dir;
  Scripted_messages messages;
  std::vector<std::string> m_paths;
};

TEST_P(Damaged_jpeg_viewer, ShowsTheDecodedPartAndAlertsOnce) {
  ImageDialogDrv* v = nullptr;
  if (GetParam().way == Way::dropped) {
    v = open_image_in_viewer(dir.file("cut.jpg"));
  } else {
    v = new ImageDialogDrv(640, 480, "a.png");
    v->set_image(std::make_unique<Hdr_image>(dir.file("a.png")), dir.file("a.png"), "a.png",
                 dir.path(), 0, 0);
    v->show();
    settle();
    v->next_image(1);
  }
  ASSERT_NE(v, nullptr);
  settle();
  EXPECT_TRUE(v->shown());
  EXPECT_EQ(v->get_path(), dir.file("cut.jpg"));
  const Hdr_image* shown = v->get_image();
  ASSERT_NE(shown, nullptr);
  ASSERT_EQ(shown->width(), 240);
  ASSERT_EQ(shown->height(), 160);
  // The decoded top of the picture is the whole file's.
  const Hdr_image whole(dir.file("whole.jpg"));
  for (int x = 0; x < 240; ++x) ASSERT_EQ((*shown)(x, 0, 0, 1), whole(x, 0, 0, 1)) << x;
  EXPECT_EQ(messages.alerts,
            (std::vector<std::string>{"Image data is damaged; the picture is incomplete: " +
                                      dir.file("cut.jpg")}));
}

INSTANTIATE_TEST_SUITE_P(Ways, Damaged_jpeg_viewer,
                         ::testing::Values(Open_case{"dropped", Way::dropped},
                                           Open_case{"next_image", Way::next_image}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

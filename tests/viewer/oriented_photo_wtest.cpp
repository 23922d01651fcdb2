// A photo stored turned opens upright in the viewer, whatever its EXIF Orientation, while
// Image Info shows the tag as the file stores it.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "tests/support/oriented_jpeg.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_info_text.h"
#include "viewer/open_in_viewer.h"

namespace {

class Oriented_photo_viewer : public ::testing::TestWithParam<int> {
 protected:
  void TearDown() override { delete_all_viewers(); }
  Temp_dir m_dir;
  Scripted_messages m_messages;
};

TEST_P(Oriented_photo_viewer, OpensUpright) {
  const std::string path = m_dir.file("phone.jpg");
  write_oriented_jpeg(path, GetParam(), true);
  ImageDialogDrv* v = open_image_in_viewer(path);
  ASSERT_NE(v, nullptr);
  settle();
  const Hdr_image* shown = v->get_image();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shows_pattern(
      uint32_t(shown->width()), uint32_t(shown->height()),
      [shown](uint32_t x, uint32_t y, int c) { return double((*shown)(int(x), int(y), 0, c)); }));
  EXPECT_TRUE(m_messages.alerts.empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, Oriented_photo_viewer, ::testing::Range(1, 9));

TEST(OrientedPhotoInfo, ImageInfoShowsTheStoredTag) {
  Temp_dir dir;
  const std::string path = dir.file("phone.jpg");
  write_oriented_jpeg(path, 6);
  const Info_lines lines = image_info_lines(path, "phone.jpg", k_pattern_w, k_pattern_h);
  const std::vector<std::string>& image = lines[k_tab_image];
  EXPECT_NE(std::find(image.begin(), image.end(), "@b@S12Orientation:\t@S12 Right-top"),
            image.end());
}

}  // namespace

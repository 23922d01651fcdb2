// Dropping text on a viewer's image box (or the main window's browsing area) opens the
// named image in a new viewer; unreadable files give an alert and open nothing.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <cstring>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"

namespace {

std::vector<ImageDialogDrv*> shown_viewers() {
  std::vector<ImageDialogDrv*> out;
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (auto* v = dynamic_cast<ImageDialogDrv*>(w)) out.push_back(v);
  return out;
}

ImageDialogDrv* viewer_named(const std::string& name) {
  for (ImageDialogDrv* v : shown_viewers())
    if (v->get_name() == name) return v;
  return nullptr;
}

int drop(ImageBoxDrv& box, const std::string& text) {
  // FLTK hands the text over as the event text of FL_PASTE.
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  Fl::e_text = copy.data();
  Fl::e_length = int(text.size());
  const int r = box.handle(FL_PASTE);
  Fl::e_text = nullptr;
  Fl::e_length = 0;
  return r;
}

class Drop_target : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<uint8_t> rgb(12 * 8 * 3, 90);
    write_png(dir.file("a b.png"), Png_layout{12, 8, 3, 8, {}}, rgb.data());
    first = open_test_viewer(make_test_image(20, 10, k_type_png,
                                             [](uint32_t, uint32_t) {
                                               return Rgb{1, 2, 3};
                                             }),
                             "first.png");
  }
  void TearDown() override { delete_all_viewers(); }

  Temp_dir dir;
  ImageDialogDrv* first = nullptr;
};

TEST_F(Drop_target, AcceptsDragAndDrop) {
  ImageBoxDrv& box = *first->image_box;
  EXPECT_EQ(box.handle(FL_ENTER), 0);
  for (int e : {FL_DND_ENTER, FL_DND_DRAG, FL_DND_LEAVE, FL_DND_RELEASE})
    EXPECT_EQ(box.handle(e), 1) << e;
}

TEST_F(Drop_target, FileManagerDropOpensASecondViewer) {
  Scripted_messages messages;
  const std::string uri = "file://" + dir.path() + "a%20b.png\r\n";
  EXPECT_EQ(drop(*first->image_box, uri), 1);
  settle(0.05);
  ImageDialogDrv* opened = viewer_named("a b.png");
  ASSERT_NE(opened, nullptr);
  EXPECT_NE(opened, first);
  EXPECT_EQ(opened->get_path(), dir.file("a b.png"));
  EXPECT_EQ(opened->get_directory(), dir.path());
  EXPECT_EQ(opened->get_image()->width(), 12);
  EXPECT_STREQ(opened->label(), "a b.png (100%) ");
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_EQ(first->get_image()->width(), 20);  // the first viewer is unchanged
  EXPECT_EQ(opened->parent(), nullptr);        // a top-level window
}

TEST_F(Drop_target, BarePathOpensToo) {
  Scripted_messages messages;
  drop(*first->visible_box, dir.file("a b.png"));
  EXPECT_NE(viewer_named("a b.png"), nullptr);
}

TEST_F(Drop_target, UnreadableFileAlertsAndOpensNothing) {
  Scripted_messages messages;
  ASSERT_TRUE(write_file_bytes(dir.file("notes.hdr"), "just some text\n"));
  const size_t before = shown_viewers().size();
  drop(*first->image_box, "file://" + dir.file("notes.hdr") + "\n");
  EXPECT_EQ(shown_viewers().size(), before);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(dir.file("notes.hdr")), std::string::npos)
      << messages.alerts[0];
}

TEST_F(Drop_target, SeveralFilesOrNoneAlert) {
  Scripted_messages messages;
  drop(*first->image_box, "file://" + dir.file("a b.png") + "\nfile://" + dir.file("x.png") + "\n");
  drop(*first->image_box, "");
  EXPECT_EQ(messages.alerts.size(), 2u);
  EXPECT_EQ(viewer_named("a b.png"), nullptr);
}

}  // namespace

// Next and Previous Image: the viewer steps through the grid's files in place, starts
// each one afresh, asks before it drops unsaved changes, and stays as it was when there
// is no neighbour or it cannot be read.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_save.h"
#include "core/preferences_dlg.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/save_as_chooser.h"

namespace {

bool active(ImageDialogDrv* v, const char* path) {
  const Fl_Menu_Item* item = v->menu_item(path);
  EXPECT_NE(item, nullptr) << path;
  return item && item->active();
}

void choose(ImageDialogDrv* v, const char* path) {
  const Fl_Menu_Item* item = v->menu_item(path);
  ASSERT_NE(item, nullptr) << path;
  item->do_callback(v->menu_bar);
}

// A folder of four files shown in the grid: a.png 30x20, b.exr 50x40, c.png 70x10 and
// d.exr 20x60, each of its own colour.
class Viewer_navigation : public ::testing::Test {
 protected:
  void SetUp() override {
    write("a.png", 30, 20, k_type_png, 10.f);
    write("b.exr", 50, 40, k_type_exr, 0.25f);
    write("c.png", 70, 10, k_type_png, 200.f);
    write("d.exr", 20, 60, k_type_exr, 8.f);
    for (const char* n : {"a.png", "b.exr", "c.png", "d.exr"}) m_paths.push_back(dir.file(n));
    m_browser.answers().grid_paths = [this] { return m_paths; };
    m_prefs = std::make_unique<PreferencesDlg>(550, 385, "Preferences");
    g_preferences_dialog = m_prefs.get();
    m_prefs->open_as_choice->value(1);  // original size
    // The steps as such: the question about unsaved changes is tested on its own.
    m_prefs->closing_prompt_button->value(0);
  }
  void TearDown() override {
    delete_all_viewers();
    g_preferences_dialog = nullptr;
  }
  void write(const char* name, uint32_t w, uint32_t h, uint32_t type, float v) {
    auto im = make_test_image(w, h, type, [v](uint32_t x, uint32_t) {
      return Rgb{v, v * 0.5f, float(x % 7)};
    });
    save_image_as(*im, dir.file(name), type);
  }
  ImageDialogDrv* open(const std::string& name) {
    auto* v = new ImageDialogDrv(640, 480, name.c_str());
    v->set_image(std::make_unique<Hdr_image>(dir.file(name)), dir.file(name), name, dir.path(), 0,
                 0);
    v->show();
    while (!v->shown()) Fl::wait(0.01);
    settle();
    v->handle(FL_FOCUS);
    return v;
  }

  Temp_dir dir;
  Scripted_messages messages;
  std::unique_ptr<PreferencesDlg> m_prefs;
  std::vector<std::string> m_paths;
  Fake_browser m_browser;
};

TEST_F(Viewer_navigation, NextOnTheSecondToLastReachesTheLastAndEndsThere) {
  ImageDialogDrv* v = open("c.png");
  const int x = v->x(), y = v->y(), w = v->w(), h = v->h();
  choose(v, "&View/Next Image");
  EXPECT_EQ(v->get_path(), dir.file("d.exr"));
  EXPECT_EQ(v->get_name(), "d.exr");
  EXPECT_EQ(v->get_directory(), dir.path());
  EXPECT_EQ(v->get_file_type(), uint32_t(k_type_exr));
  EXPECT_EQ(v->get_image()->width(), 20u);
  EXPECT_EQ(v->get_image()->height(), 60u);
  EXPECT_EQ(std::string(v->label()).rfind("d.exr", 0), 0u) << v->label();
  // The window keeps its place and size.
  EXPECT_EQ(v->x(), x);
  EXPECT_EQ(v->y(), y);
  EXPECT_EQ(v->w(), w);
  EXPECT_EQ(v->h(), h);
  EXPECT_FALSE(active(v, "&View/Next Image"));
  EXPECT_TRUE(active(v, "&View/Previous Image"));
  // At the end a further Next changes nothing.
  v->next_image(1);
  EXPECT_EQ(v->get_path(), dir.file("d.exr"));
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Viewer_navigation, PreviousWalksBackToTheFirst) {
  ImageDialogDrv* v = open("c.png");
  v->next_image(0);
  EXPECT_EQ(v->get_path(), dir.file("b.exr"));
  EXPECT_TRUE(active(v, "&View/Previous Image"));
  EXPECT_TRUE(active(v, "&View/Next Image"));
  v->next_image(0);
  EXPECT_EQ(v->get_path(), dir.file("a.png"));
  EXPECT_FALSE(active(v, "&View/Previous Image"));
  EXPECT_TRUE(active(v, "&View/Next Image"));
  v->next_image(0);
  EXPECT_EQ(v->get_path(), dir.file("a.png"));
}

TEST_F(Viewer_navigation, TheNewFileStartsAfreshAndWithoutThePromptChangesAreDropped) {
  ImageDialogDrv* v = open("a.png");
  const std::string before = read_file_bytes(dir.file("a.png"));
  v->save_undo(k_change_resized, 0);
  v->set_modified(k_change_resized);
  ASSERT_TRUE(v->undo_available());
  v->next_image(1);
  EXPECT_EQ(v->get_path(), dir.file("b.exr"));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_FALSE(active(v, "&Image/&Save"));
  EXPECT_FALSE(v->undo_available());
  EXPECT_FALSE(v->redo_available());
  EXPECT_FALSE(active(v, "&Edit/Undo"));
  EXPECT_FALSE(active(v, "&Edit/Redo"));
  EXPECT_FALSE(v->closing_after_save());
  EXPECT_EQ(read_file_bytes(dir.file("a.png")), before);  // nothing was written
  EXPECT_TRUE(messages.questions.empty());
}

TEST_F(Viewer_navigation, EachHdrFileGetsItsOwnFirstExposure) {
  ImageDialogDrv* v = open("b.exr");
  v->exposure(0);
  ASSERT_NE(v->exposure_factor(), v->default_exposure());
  v->next_image(1);  // c.png: 8-bit, shown as it is
  EXPECT_EQ(v->exposure_factor(), 1.f);
  v->next_image(1);  // d.exr
  EXPECT_EQ(v->get_path(), dir.file("d.exr"));
  EXPECT_EQ(v->exposure_factor(), v->default_exposure());
  // The pixels carry exactly that exposure over the file's values.
  Hdr_image want(dir.file("d.exr"));
  want *= v->exposure_factor();
  EXPECT_TRUE(images_match(want, *v->get_image()));
}

TEST_F(Viewer_navigation, FileOutsideTheGridHasNoNeighbours) {
  write("z.png", 10, 10, k_type_png, 1.f);  // in the folder, but not in the grid's list
  ImageDialogDrv* v = open("z.png");
  EXPECT_FALSE(active(v, "&View/Next Image"));
  EXPECT_FALSE(active(v, "&View/Previous Image"));
  v->next_image(1);
  v->next_image(0);
  EXPECT_EQ(v->get_path(), dir.file("z.png"));
  EXPECT_EQ(v->get_image()->width(), 10u);
}

TEST_F(Viewer_navigation, UnreadableNeighbourLeavesTheViewerAsItWas) {
  ASSERT_TRUE(write_file_bytes(dir.file("b.exr"), "no image at all"));
  ImageDialogDrv* v = open("a.png");
  v->save_undo(k_change_flipped, 'x');
  v->set_modified(k_change_flipped);
  const Hdr_image shown = *v->get_image();
  v->next_image(1);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_EQ(v->get_path(), dir.file("a.png"));
  EXPECT_TRUE(images_match(shown, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_flipped));
  EXPECT_TRUE(v->undo_available());
  EXPECT_TRUE(active(v, "&View/Next Image"));
}

TEST_F(Viewer_navigation, NeighbourRemovedFromDiskLeavesTheViewerAsItWas) {
  ASSERT_EQ(std::remove(dir.file("d.exr").c_str()), 0);
  ImageDialogDrv* v = open("c.png");
  v->next_image(1);
  EXPECT_EQ(messages.alerts.size(), 1u);
  EXPECT_EQ(v->get_path(), dir.file("c.png"));
  EXPECT_EQ(v->get_image()->width(), 70u);
}

// A grid that cannot list its tiles stays inside the step: one alert, the viewer as it was.
TEST_F(Viewer_navigation, AGridThatFailsToListLeavesTheViewerAsItWas) {
  ImageDialogDrv* v = open("b.exr");
  m_browser.answers().grid_paths = []() -> std::vector<std::string> {
    throw std::runtime_error("grid failed");
  };
  EXPECT_NO_THROW(choose(v, "&View/Next Image"));
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"grid failed"});
  EXPECT_EQ(v->get_path(), dir.file("b.exr"));
  EXPECT_EQ(v->get_image()->width(), 50u);
}

TEST_F(Viewer_navigation, ChangedImageAsksAboutLeavingItBeforeMovingOn) {
  struct Case {
    const char* what;
    bool prompt;
    int answer;  // 0 "Cancel" (also Escape and the close box), 1 "Save", 2 "Don't save"
    bool asked, saved, moved;
  };
  const Case cases[] = {
      {"cancel", true, 0, true, false, false},
      {"save", true, 1, true, true, true},
      {"don't save", true, 2, true, false, true},
      {"prompt off", false, 1, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write("a.png", 30, 20, k_type_png, 10.f);
    m_prefs->closing_prompt_button->value(c.prompt ? 1 : 0);
    messages.questions.clear();
    messages.buttons.clear();
    ImageDialogDrv* v = open("a.png");
    v->rotate(90);
    messages.answers = {c.answer};
    choose(v, "&View/Next Image");
    // The viewer stays open: the question is about leaving the image, not closing.
    EXPECT_EQ(messages.questions,
              c.asked ? std::vector<std::string>{"Save changes before leaving this image?"}
                      : std::vector<std::string>{});
    EXPECT_EQ(messages.buttons,
              (c.asked ? std::vector<std::vector<std::string>>{{"Cancel", "Save", "Don't save"}}
                       : std::vector<std::vector<std::string>>{}));
    // Saved: the file holds the turned picture.
    EXPECT_EQ(Hdr_image(dir.file("a.png")).width(), c.saved ? 20 : 30);
    EXPECT_EQ(v->get_path(), dir.file(c.moved ? "b.exr" : "a.png"));
    if (!c.moved) {
      // Cancel keeps the image, its changes and its undo step.
      EXPECT_EQ(v->get_image()->width(), 20);
      EXPECT_EQ(v->modified_flags(), uint32_t(k_change_rotated));
      EXPECT_TRUE(v->undo_available());
      EXPECT_TRUE(active(v, "&Image/&Save"));
    } else {
      EXPECT_EQ(v->modified_flags(), 0u);
    }
    delete_all_viewers();
  }
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Viewer_navigation, SaveThroughTheChooserMovesOnOnlyOnceWritten) {
  SaveAsChooser chooser("OPENEXR format (*.exr)");
  g_save_as_chooser = &chooser;
  m_prefs->closing_prompt_button->value(1);
  m_prefs->overwrite_prompt_button->value(0);
  ImageDialogDrv* v = open("b.exr");
  v->get_image()->type = k_type_tiff_logl;  // read only: Save needs the chooser
  v->flip('x');
  messages.answers = {1, 1};  // "Save", twice
  v->next_image(0);
  ASSERT_TRUE(chooser.shown());
  EXPECT_EQ(v->get_path(), dir.file("b.exr"));
  // Cancel in the chooser: the viewer stays with its changes.
  chooser.hide();
  EXPECT_EQ(v->get_path(), dir.file("b.exr"));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_flipped));

  Hdr_image want = *v->get_image();  // the file's values of the flipped picture
  want /= v->exposure_factor();
  v->next_image(0);
  ASSERT_TRUE(chooser.shown());
  chooser.filter_value(0);  // OPENEXR
  chooser.value(dir.file("b_flipped.exr").c_str());
  chooser.hide();
  chooser.on_ok();
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(images_match(want, Hdr_image(dir.file("b_flipped.exr")), {0, 1e-6, 0}));
  // Moved on from the file it was on.
  EXPECT_EQ(v->get_path(), dir.file("a.png"));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_EQ(messages.questions.size(), 2u);
  g_save_as_chooser = nullptr;
}

}  // namespace

// The browser's own answers to the windows' questions: the viewer it opens for a result
// (and a result whose viewer fails), and the directory chooser.
// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "browser/browser_seam_setup.h"
#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/hdr_image.h"
#include "tests/support/fake_browser.h"
#include "tests/support/temp_dir.h"
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

TEST(Browser_result_viewer, OpensTheResultAsAnUntitledNewImageInTheFolder) {
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
TEST(Browser_result_viewer, FailedHandOverLeavesNoViewerShownOrAlive) {
  Fake_browser browser;
  install_browser_seam();
  browser.answers().grid_paths = []() -> std::vector<std::string> { throw std::bad_alloc(); };
  const int before = ImageDialogDrv::live_count();
  EXPECT_THROW(show_result(make_test_image(6, 4, k_type_new_hdr, grey), "/tmp/r/"), std::bad_alloc);
  EXPECT_EQ(ImageDialogDrv::live_count(), before);
  EXPECT_EQ(shown_viewer(), nullptr);
  EXPECT_TRUE(g_closed_viewers.empty());
}

// The program's directory chooser under the browser's answer, with the user's side of it:
// a typed folder and a press on OK or Cancel.
class Browser_directory_chooser : public ::testing::Test {
 protected:
  void SetUp() override {
    install_browser_seam();
    browser.answers().current_folder = [this] { return dir.path(); };
    m_saved = g_directory_chooser;
    g_directory_chooser = &chooser;
    ASSERT_EQ(mkdir(dir.file("out").c_str(), 0755), 0);
  }
  void TearDown() override {
    chooser.hide();
    g_directory_chooser = m_saved;
  }
  // The chooser's shown window, found as the user sees it.
  static Fl_Window* chooser_window() {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
      if (w->label() && std::string(w->label()) == "Select directory...") return w;
    return nullptr;
  }
  // The chooser's button of that label.
  static Fl_Widget* button(Fl_Group* group, const char* label) {
    for (int i = 0; i < group->children(); ++i) {
      Fl_Widget* w = group->child(i);
      if (dynamic_cast<Fl_Button*>(w) && w->label() && std::string(w->label()) == label) return w;
      if (Fl_Group* g = w->as_group())
        if (Fl_Widget* found = button(g, label)) return found;
    }
    return nullptr;
  }
  // The chooser's list of files and folders.
  static Fl_File_Browser* file_list(Fl_Group* group) {
    for (int i = 0; i < group->children(); ++i) {
      Fl_Widget* w = group->child(i);
      if (auto* list = dynamic_cast<Fl_File_Browser*>(w)) return list;
      if (Fl_Group* g = w->as_group())
        if (Fl_File_Browser* found = file_list(g)) return found;
    }
    return nullptr;
  }
  void press(const char* label) {
    Fl_Window* w = chooser_window();
    ASSERT_NE(w, nullptr);
    Fl_Widget* b = button(w, label);
    ASSERT_NE(b, nullptr) << label;
    b->do_callback();
  }
  std::function<void(const std::string&)> into(std::vector<std::string>& chosen) {
    return [&chosen](const std::string& folder) { chosen.push_back(folder); };
  }

  Fake_browser browser;
  Temp_dir dir;
  // A window begins its group when built: each is ended at once, so nothing built later
  // (the chooser's own window, the next test's widgets) lands inside a window deleted later.
  struct Ended_window : Fl_Window {
    Ended_window(int w, int h, const char* title) : Fl_Window(w, h, title) { end(); }
  };
  Ended_window asker{200, 100, "Resize"};  // the dialog whose "Browse..." opened the chooser
  Fl_File_Chooser chooser{".", nullptr, Fl_File_Chooser::DIRECTORY, "Select directory..."};
  Fl_File_Chooser* m_saved = nullptr;
};

TEST_F(Browser_directory_chooser, OpensAtTheCurrentFolderAndHandsOverTheFolderChosen) {
  std::vector<std::string> chosen;
  choose_directory(asker, into(chosen));
  ASSERT_TRUE(chooser.shown());
  EXPECT_EQ(std::string(chooser.directory()) + "/", dir.path());
  chooser.value(dir.file("out").c_str());
  press(fl_ok);
  EXPECT_FALSE(chooser.shown());
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].substr(0, dir.file("out").size()), dir.file("out"));
}

// The chooser calls back on every click in its list while still shown: that is no answer
// yet, and OK after it still hands the folder over, once.
TEST_F(Browser_directory_chooser, AClickInTheListThenOkHandsOverOneFolder) {
  std::vector<std::string> chosen;
  choose_directory(asker, into(chosen));
  Fl_Window* w = chooser_window();
  ASSERT_NE(w, nullptr);
  Fl_File_Browser* list = file_list(w);
  ASSERT_NE(list, nullptr);
  int line = 0;
  for (int i = 1; i <= list->size(); ++i)
    if (list->text(i) && std::string(list->text(i)) == "out/") line = i;
  ASSERT_GT(line, 0);
  list->value(line);
  Fl::e_clicks = 0;  // a single click: a double one would open the folder
  Fl::e_keysym = 0;
  list->do_callback();
  EXPECT_TRUE(chooser.shown());
  EXPECT_TRUE(chosen.empty());
  press(fl_ok);
  EXPECT_FALSE(chooser.shown());
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].substr(0, dir.file("out").size()), dir.file("out"));
}

TEST_F(Browser_directory_chooser, CancelHandsOverNothing) {
  std::vector<std::string> chosen;
  choose_directory(asker, into(chosen));
  chooser.value(dir.file("out").c_str());
  press(fl_cancel);
  EXPECT_FALSE(chooser.shown());
  EXPECT_TRUE(chosen.empty());
}

// One chooser: a second "Browse..." before the first was answered takes the answer over.
TEST_F(Browser_directory_chooser, TheLaterBrowseGetsTheAnswer) {
  std::vector<std::string> first, second;
  choose_directory(asker, into(first));
  choose_directory(asker, into(second));
  chooser.value(dir.file("out").c_str());
  press(fl_ok);
  EXPECT_TRUE(first.empty());
  EXPECT_EQ(second.size(), 1u);
}

// The chooser outlives the dialog that opened it: OK after that dialog was deleted must
// not reach what the dialog's answer captured of it.
TEST_F(Browser_directory_chooser, OkAfterTheAskingDialogWasDeletedDoesNothing) {
  std::vector<std::string> chosen;
  auto* dialog = new Ended_window(200, 100, "Crop");
  choose_directory(*dialog, [dialog, &chosen](const std::string& folder) {
    chosen.push_back(folder);
    dialog->copy_label(folder.c_str());
  });
  delete dialog;
  chooser.value(dir.file("out").c_str());
  press(fl_ok);
  EXPECT_FALSE(chooser.shown());
  EXPECT_TRUE(chosen.empty());
}

// The destination must be named plainly: a chosen path that climbs with ".." is refused.
TEST_F(Browser_directory_chooser, APathHoldingTwoDotsIsRefused) {
  ASSERT_EQ(mkdir(dir.file("out/in").c_str(), 0755), 0);
  std::vector<std::string> chosen;
  choose_directory(asker, into(chosen));
  chooser.value(dir.file("out/in/..").c_str());
  ASSERT_NE(chooser.value(), nullptr);
  ASSERT_NE(std::string(chooser.value()).find(".."), std::string::npos) << chooser.value();
  press(fl_ok);
  EXPECT_FALSE(chooser.shown());
  EXPECT_TRUE(chosen.empty());
}

TEST_F(Browser_directory_chooser, WithoutAChooserNothingOpens) {
  g_directory_chooser = nullptr;
  std::vector<std::string> chosen;
  choose_directory(asker, into(chosen));
  EXPECT_FALSE(chooser.shown());
  EXPECT_TRUE(chosen.empty());
}

}  // namespace

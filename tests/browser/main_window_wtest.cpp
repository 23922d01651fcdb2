// The main window under the X server: geometry, the dark look, the menu table, the
// navigation buttons and the ways the window ends the program.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include <cctype>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "browser/main_menu.h"
#include "browser/main_window_drv.h"
#include "browser/program_exit.h"
#include "core/app_globals.h"
#include "core/preferences_dlg.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_new_result.h"

namespace {

std::vector<int> g_exit_codes;
void record_exit(int code) { g_exit_codes.push_back(code); }

class Main_window : public ::testing::Test {
 protected:
  void SetUp() override {
    g_exit_codes.clear();
    m_previous_exit = set_exit_function(record_exit);
    window = new MainWindowDrv(920, 600, "veltrum");
    m_tracker = std::make_unique<Fl_Widget_Tracker>(window);
  }
  void TearDown() override {
    // Quitting deletes the window itself; otherwise it is deleted here (recorded exit).
    if (!m_tracker->deleted()) delete window;
    m_tracker.reset();
    set_exit_function(m_previous_exit);
  }

  void show_and_settle() {
    window->show();
    while (!window->visible()) Fl::wait(0.05);
    for (int i = 0; i < 20; ++i) Fl::wait(0.02);
    Fl::flush();
  }

  // For tests that build the window again after a Quit deleted it.
  void reset_tracker() { m_tracker = std::make_unique<Fl_Widget_Tracker>(window); }
  bool tracker_deleted() { return m_tracker->deleted(); }

  MainWindowDrv* window = nullptr;

 private:
  Exit_fn m_previous_exit = nullptr;
  std::unique_ptr<Fl_Widget_Tracker> m_tracker;
};

TEST_F(Main_window, HasTitleSizeAndDarkLook) {
  EXPECT_STREQ(window->label(), "veltrum");
  EXPECT_EQ(window->w(), 920);
  EXPECT_EQ(window->h(), 600);
  EXPECT_EQ(window->color(), Fl_Color(41));
  ASSERT_NE(g_menu_bar, nullptr);
  EXPECT_EQ(g_menu_bar->color(), Fl_Color(36));
  EXPECT_EQ(g_menu_bar->textcolor(), FL_WHITE);
  ASSERT_NE(g_status_progress, nullptr);
  EXPECT_STREQ(g_status_progress->label(), "Scanning...");
  EXPECT_EQ(g_status_progress->selection_color(), FL_BLUE);
  EXPECT_FALSE(g_status_progress->visible());
  ASSERT_NE(g_status_text, nullptr);
  EXPECT_EQ(g_status_text->labelcolor(), FL_WHITE);
}

struct Menu_row {
  const char* path;
  int shortcut;
  bool active;
  int extra_flags;  // divider, toggle, check mark, submenu
};

// The menu as it must look at start; written out here independently of the table.
const Menu_row k_rows[] = {
    {"&File/&Open Image", FL_CTRL + 'o', false, 0},
    {"&File/Save As...", FL_CTRL + FL_SHIFT + 's', false, 0},
    {"&File/Delete Image", FL_CTRL + FL_SHIFT + FL_BackSpace, false, 0},
    {"&File/Rename Image...", FL_F + 2, false, 0},
    {"&File/New Directory...", FL_CTRL + FL_SHIFT + 'n', false, 0},
    {"&File/Delete Directory", 0, false, 0},
    {"&File/Recent Directories", 0, false, FL_SUBMENU},
    {"&File/&Quit", FL_CTRL + 'q', true, 0},
    {"&Edit/Cut", FL_CTRL + 'x', false, 0},
    {"&Edit/Copy", FL_CTRL + 'c', false, 0},
    {"&Edit/Paste", FL_CTRL + 'v', false, 0},
    {"&Edit/Select All", FL_CTRL + 'a', false, 0},
    {"&Edit/Deselect All", 0, false, 0},
    {"&Edit/Invert Selection", 0, false, 0},
    {"&Edit/Preferences...", 0, true, 0},
    {"&Process/Tonemap...", FL_CTRL + 't', false, FL_MENU_DIVIDER},
    {"&Process/Create HDR...", FL_CTRL + 'e', false, 0},
    {"&Process/Batch Create HDR...", FL_CTRL + FL_SHIFT + 'e', false, FL_MENU_DIVIDER},
    {"&Process/Fuse Exposures...", FL_CTRL + 'f', false, 0},
    {"&Tools/Rotate Left", FL_CTRL + '[', false, 0},
    {"&Tools/Rotate Right", FL_CTRL + ']', false, 0},
    {"&Tools/Flip Vertical", 0, false, 0},
    {"&Tools/Flip Horizontal", 0, false, 0},
    {"&Tools/Resize...", FL_CTRL + FL_SHIFT + 'r', false, 0},
    {"&Tools/Crop...", FL_CTRL + FL_SHIFT + 'c', false, 0},
    {"&View/Go Backward", FL_F + 3, false, 0},
    {"&View/Go Up", FL_F + 4, true, 0},
    {"&View/Go Forward", FL_F + 6, false, 0},
    {"&View/Refresh", FL_F + 5, false, 0},
    {"&View/Image Info...", FL_CTRL + 'i', false, 0},
    {"&View/Image Stats...", FL_CTRL + FL_SHIFT + 'i', false, 0},
    {"&View/Histogram...", FL_CTRL + 'h', false, 0},
    {"&View/Show on HDR Display", FL_CTRL + ' ', false, 0},
    {"&View/Synchronize Location", 0, true, FL_MENU_TOGGLE | FL_MENU_VALUE},
    {"&View/Show Hidden Folders", 0, true, FL_MENU_TOGGLE},
    {"&Help/Help...", 0, true, 0},
    {"&Help/About...", 0, true, 0},
};

class Menu_items : public Main_window, public ::testing::WithParamInterface<Menu_row> {};

TEST_P(Menu_items, MatchTheTableAtStart) {
  const Menu_row& row = GetParam();
  const Fl_Menu_Item* item = find_menu_item(row.path);
  ASSERT_NE(item, nullptr) << row.path;
  EXPECT_EQ(item->shortcut(), row.shortcut) << row.path;
  EXPECT_EQ(item->active() != 0, row.active) << row.path;
  const int shape = FL_MENU_DIVIDER | FL_MENU_TOGGLE | FL_MENU_VALUE | FL_SUBMENU;
  EXPECT_EQ(item->flags & shape, row.extra_flags) << row.path;
  EXPECT_EQ(item->labelfont(), 0) << row.path;
  EXPECT_EQ(item->labelsize(), 14) << row.path;
}

void PrintTo(const Menu_row& row, std::ostream* os) { *os << row.path; }

std::string row_name(const ::testing::TestParamInfo<Menu_row>& info) {
  std::string name;
  for (const char* c = info.param.path; *c; ++c)
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Table, Menu_items, ::testing::ValuesIn(k_rows), row_name);

// Counts the items of a menu level, submenus counted as one.
int level_size(const Fl_Menu_Item* m) {
  int n = 0;
  for (; m && m->label(); m = m->next()) ++n;
  return n;
}

TEST_F(Main_window, MenuHoldsNothingBeyondTheTable) {
  const Fl_Menu_Item* top = g_menu_bar->menu();
  EXPECT_EQ(level_size(top), 6);
  const int expected[] = {8, 7, 4, 6, 10, 2};
  int i = 0;
  for (const Fl_Menu_Item* m = top; m && m->label(); m = m->next(), ++i)
    EXPECT_EQ(level_size(m + 1), expected[i]) << m->label();
  const Fl_Menu_Item* recent = find_menu_item("&File/Recent Directories");
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ((recent + 1)->label(), nullptr);  // an empty submenu
}

TEST_F(Main_window, SwitchingAnItemChangesOnlyThisWindowsCopy) {
  set_menu_item_active("&Edit/Cut", true);
  EXPECT_TRUE(find_menu_item("&Edit/Cut")->active());
  set_menu_item_active("&Edit/Cut", false);
  EXPECT_FALSE(find_menu_item("&Edit/Cut")->active());
  set_menu_item_active("&Edit/Paste", true);
  // The table the next window copies is untouched.
  Fl_Menu_Bar pristine(0, 0, 10, 10);
  pristine.menu(main_menu_table());
  const Fl_Menu_Item* paste = pristine.find_item("&Edit/Paste");
  ASSERT_NE(paste, nullptr);
  EXPECT_FALSE(paste->active());
  EXPECT_TRUE(menu_item_checked("&View/Synchronize Location"));
  EXPECT_FALSE(menu_item_checked("&View/Show Hidden Folders"));
}

TEST_F(Main_window, MissingPathIsReportedOnStandardError) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(find_menu_item("&File/No Such Item"), nullptr);
  set_menu_item_active("&View/Nothing", true);
  EXPECT_FALSE(menu_item_checked("&View/Nothing"));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "&File/No Such Item\n&View/Nothing\n&View/Nothing\n");
}

TEST_F(Main_window, NavigationButtonsCarryPicturesAndTooltips) {
  struct Expect {
    Fl_Button* button;
    const char* tooltip;
    int x;
    int inactive_depth;
  };
  const Expect expect[] = {{window->back_button(), "Previous directory", 798, 4},
                           {window->up_button(), "Up one level", 829, 2},
                           {window->forward_button(), "Next directory", 859, 4},
                           {window->refresh_button(), "Refresh", 890, 4}};
  for (const Expect& e : expect) {
    ASSERT_NE(e.button, nullptr);
    EXPECT_STREQ(e.button->tooltip(), e.tooltip);
    EXPECT_EQ(e.button->x(), e.x);
    EXPECT_EQ(e.button->w(), 30);
    EXPECT_EQ(e.button->h(), 29);
    EXPECT_EQ(e.button->color(), Fl_Color(36));
    ASSERT_NE(e.button->image(), nullptr) << e.tooltip;
    ASSERT_NE(e.button->deimage(), nullptr) << e.tooltip;
    EXPECT_EQ(e.button->image()->w(), 16);
    EXPECT_EQ(e.button->image()->h(), 16);
    EXPECT_EQ(e.button->image()->d(), 4);
    EXPECT_EQ(e.button->deimage()->w(), 16);
    EXPECT_EQ(e.button->deimage()->d(), e.inactive_depth) << e.tooltip;
  }
  EXPECT_EQ(window->back_button()->selection_color(), Fl_Color(36));
  // Shared between windows, not decoded again.
  MainWindowDrv* second = new MainWindowDrv(920, 600, "veltrum");
  EXPECT_EQ(second->up_button()->image(), window->up_button()->image());
  // Deleting the second window passes through the exit hook as Quit would.
  delete second;
}

TEST_F(Main_window, WideningStretchesTheLocationFieldOnly) {
  window->resize(0, 0, 1200, 700);
  EXPECT_EQ(window->refresh_button()->x(), 1170);
  EXPECT_EQ(window->back_button()->x(), 1078);
  EXPECT_EQ(window->back_button()->w(), 30);
  Fl_Widget* field = window->location_bar()->child(0);
  EXPECT_EQ(field->w(), 1078);
  EXPECT_EQ(field->h(), 29);
  EXPECT_EQ(g_menu_bar->w(), 1200);
}

TEST_F(Main_window, EscapeIsIgnoredAndTheCloseBoxQuits) {
  show_and_settle();
  Fl::e_number = FL_SHORTCUT;
  Fl::e_keysym = FL_Escape;
  window->do_callback();
  EXPECT_TRUE(g_exit_codes.empty());
  EXPECT_TRUE(window->shown());
  Fl::e_number = FL_CLOSE;
  Fl::e_keysym = 0;
  window->do_callback();
  EXPECT_EQ(g_exit_codes, std::vector<int>{0});
  EXPECT_EQ(g_menu_bar, nullptr);  // the window is gone
}

TEST_F(Main_window, QuitMenuItemEndsWithCodeZero) {
  const Fl_Menu_Item* quit = find_menu_item("&File/&Quit");
  ASSERT_NE(quit, nullptr);
  g_menu_bar->picked(quit);
  EXPECT_EQ(g_exit_codes, std::vector<int>{0});
}

// Quit from the menu (Ctrl+Q is its shortcut) or the window's close box.
void quit_by(MainWindowDrv* window, bool close_box) {
  if (close_box) {
    Fl::e_number = FL_CLOSE;
    Fl::e_keysym = 0;
    window->do_callback();
  } else {
    g_menu_bar->picked(find_menu_item("&File/&Quit"));
  }
}

TEST_F(Main_window, QuitAsksOnceAboutViewersWithUnsavedChanges) {
  struct Case {
    const char* what;
    bool prompt, close_box;
    int changed;  // viewers with unsaved changes, beside one without
    int answer;   // 0 "Cancel" (also Escape, Return and the close box), 1 "Quit"
    bool asked, quits;
    bool new_results = false;  // the changed viewers are "Untitled" results, never saved
  };
  const Case cases[] = {
      {"cancel from the menu", true, false, 2, 0, true, false},
      {"cancel from the close box", true, true, 2, 0, true, false},
      {"quit", true, false, 1, 1, true, true},
      {"nothing changed", true, false, 0, 0, false, true},
      {"prompt off", false, true, 2, 0, false, true},
      {"untitled result", true, false, 1, 0, true, false, true},
  };
  PreferencesDlg prefs(550, 385, "Preferences");
  g_preferences_dialog = &prefs;
  Scripted_messages messages;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!window) {
      window = new MainWindowDrv(920, 600, "veltrum");
      reset_tracker();
    }
    g_exit_codes.clear();
    messages.questions.clear();
    messages.buttons.clear();
    messages.return_keys.clear();
    prefs.closing_prompt_button->value(c.prompt ? 1 : 0);
    auto gray = [](uint32_t, uint32_t) { return Rgb{90.f, 90.f, 90.f}; };
    std::vector<ImageDialogDrv*> viewers;
    viewers.push_back(open_test_viewer(make_test_image(8, 6, k_type_png, gray), "v0.png"));
    for (int i = 1; i <= c.changed; ++i) {
      if (c.new_results) {
        viewers.push_back(open_new_result(make_test_image(8, 6, k_type_exr, gray), "/tmp/"));
      } else {
        viewers.push_back(open_test_viewer(make_test_image(8, 6, k_type_png, gray),
                                           "v" + std::to_string(i) + ".png"));
        viewers.back()->set_modified(k_change_rotated);
      }
    }
    messages.answers = {c.answer};

    quit_by(window, c.close_box);

    if (c.asked) {
      ASSERT_EQ(messages.questions.size(), 1u);
      const std::string& q = messages.questions[0];
      EXPECT_EQ(
          q.rfind(std::to_string(c.changed) + (c.changed == 1 ? " image has" : " images have"), 0),
          0u)
          << q;
      for (int i = 1; i <= c.changed; ++i)
        EXPECT_NE(
            q.find(c.new_results ? std::string("\nUntitled") : "\nv" + std::to_string(i) + ".png"),
            std::string::npos)
            << q;
      EXPECT_EQ(q.find("v0.png"), std::string::npos) << q;  // the unchanged one
      EXPECT_EQ(messages.buttons, (std::vector<std::vector<std::string>>{{"Cancel", "Quit"}}));
      // One Return must not lose the changes.
      EXPECT_EQ(messages.return_keys, std::vector<Return_key>{Return_key::first_button});
    } else {
      EXPECT_TRUE(messages.questions.empty());
    }
    EXPECT_EQ(g_exit_codes, c.quits ? std::vector<int>{0} : std::vector<int>{});
    if (c.quits) {
      EXPECT_TRUE(tracker_deleted());
      window = nullptr;
    } else {
      // Everything stays open, changes and all.
      EXPECT_FALSE(tracker_deleted());
      EXPECT_NE(g_menu_bar, nullptr);
      for (ImageDialogDrv* v : viewers) EXPECT_TRUE(v->shown());
      EXPECT_EQ(viewers.back()->modified_flags(),
                uint32_t(c.new_results ? k_change_new_image : k_change_rotated));
    }
    delete_all_viewers();
  }
  EXPECT_TRUE(messages.alerts.empty());
  g_preferences_dialog = nullptr;
}

TEST(Main_window_exit, QuitEndsTheProcessWithCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        set_exit_function(nullptr);
        auto* w = new MainWindowDrv(920, 600, "veltrum");
        w->show();
        Fl::check();
        w->quit();
        std::_Exit(3);  // not reached when Quit ends the process
      },
      ::testing::ExitedWithCode(0), "");
}

// The colour a toolkit index is drawn with.
void rgb_of(Fl_Color index, unsigned char& r, unsigned char& g, unsigned char& b) {
  Fl::get_color(index, r, g, b);
}

TEST_F(Main_window, ScreenshotShowsDarkMenuBarWhiteLabelsAndGrid) {
  show_and_settle();
  window->make_current();
  std::unique_ptr<unsigned char[]> pixels(fl_read_image(nullptr, 0, 0, 920, 600));
  ASSERT_NE(pixels, nullptr);
  auto at = [&](int x, int y) { return pixels.get() + 3 * (y * 920 + x); };
  auto expect_colour = [&](int x, int y, Fl_Color index) {
    unsigned char r, g, b;
    rgb_of(index, r, g, b);
    const unsigned char* p = at(x, y);
    EXPECT_EQ(p[0], r) << x << "," << y;
    EXPECT_EQ(p[1], g) << x << "," << y;
    EXPECT_EQ(p[2], b) << x << "," << y;
  };
  expect_colour(700, 12, 36);   // menu bar right of the last menu
  expect_colour(500, 300, 34);  // grid
  expect_colour(900, 200, 34);
  expect_colour(85, 500, 36);  // folder list, empty before any folder is shown
  // The menu labels are drawn in white on the dark bar.
  int brightest = 0;
  for (int y = 2; y < 23; ++y)
    for (int x = 0; x < 60; ++x) brightest = std::max(brightest, int(at(x, y)[0]));
  EXPECT_GE(brightest, 230);
  unsigned char r, g, b;
  rgb_of(36, r, g, b);
  EXPECT_LT(int(r), 100);  // colour 36 is dark
}

}  // namespace

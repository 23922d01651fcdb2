#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "browser/dir_view.h"
#include "browser/location_field.h"
#include "core/platform.h"
#include "tests/support/folder_menu.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

std::string missing_message(const std::string& path) {
  return "Location: " + path +
         " does not exist!\nOr you do not have permission to browse into this directory.";
}

class Location_field_test : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"photos", "photos/2020", "50%s%n"})
      ASSERT_EQ(mkdir(m_dir.file(name).c_str(), 0755), 0);
    ASSERT_TRUE(write_file_bytes(m_dir.file("photos/a.jpg"), "x"));
    m_window = std::make_unique<Fl_Window>(400, 400);
    m_menu = new Folder_menu;
    m_field = new Location_field(0, 25, 400, 25);
    m_view = new Dir_view(0, 50, 400, 350);
    m_window->end();
    m_view->attach(m_menu, m_field);
    m_field->set_target(m_view);
    m_previous_dir = platform::working_dir();
  }
  void TearDown() override {
    if (!m_previous_dir.empty()) {
      EXPECT_EQ(chdir(m_previous_dir.c_str()), 0);
    }
  }

  // Types text and presses the main Enter key.
  void enter(const std::string& text) {
    m_field->value(text.c_str());
    Fl::e_keysym = FL_Enter;
    m_field->handle(FL_KEYDOWN);
  }

  Temp_dir m_dir;
  std::string m_previous_dir;
  std::unique_ptr<Fl_Window> m_window;
  Folder_menu* m_menu = nullptr;
  Location_field* m_field = nullptr;
  Dir_view* m_view = nullptr;
  Scripted_messages m_messages;
};

TEST_F(Location_field_test, enter_goes_to_the_folder_in_normal_form) {
  enter(m_dir.path() + "photos//2020");
  const std::string folder = m_dir.path() + "photos/2020/";
  EXPECT_EQ(m_view->current_dir(), folder);
  EXPECT_EQ(std::string(m_field->value()), folder);
  EXPECT_EQ(m_view->history().entries(), std::vector<std::string>{folder});
  EXPECT_EQ(m_view->recent_dirs().entries(), std::vector<std::string>{folder});
  EXPECT_TRUE(m_messages.messages.empty());
}

TEST_F(Location_field_test, repeated_separators_reach_the_same_folder) {
  enter("/" + m_dir.path() + "//photos///");
  EXPECT_EQ(m_view->current_dir(), m_dir.path() + "photos/");
}

TEST_F(Location_field_test, relative_path_is_taken_from_the_working_folder) {
  m_view->go_to(m_dir.path() + "photos", false, true);
  ASSERT_EQ(chdir(m_dir.path().c_str()), 0);
  enter("photos/2020");
  EXPECT_EQ(m_view->current_dir(), platform::working_dir() + "photos/2020/");
  enter("./photos/../50%s%n");
  EXPECT_TRUE(m_messages.messages.empty());
}

TEST_F(Location_field_test, path_holding_percent_goes_there) {
  enter(m_dir.path() + "50%s%n");
  EXPECT_EQ(m_view->current_dir(), m_dir.path() + "50%s%n/");
}

struct Bad_case {
  const char* name;
  std::string relative;  // under the test folder
};

// Ten components of 200 characters: longer than FLTK's fixed path buffers.
std::string long_relative_path() {
  std::string path = "long";
  for (int i = 0; i < 10; ++i) path += "/" + std::string(200, static_cast<char>('a' + i));
  return path;
}

void PrintTo(const Bad_case& c, std::ostream* out) { *out << c.name; }

class Location_field_bad : public Location_field_test,
                           public ::testing::WithParamInterface<Bad_case> {};

TEST_P(Location_field_bad, shows_the_message_and_changes_nothing) {
  m_view->go_to(m_dir.path(), false, true);
  const std::string typed = m_dir.path() + GetParam().relative;
  enter(typed);
  EXPECT_EQ(m_messages.messages, std::vector<std::string>{missing_message(typed + "/")});
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_EQ(m_view->current_dir(), m_dir.path());
  EXPECT_EQ(std::string(m_field->value()), typed);
  EXPECT_EQ(m_view->history().entries().size(), 1u);
  EXPECT_TRUE(m_view->recent_dirs().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Location_field_bad,
    ::testing::Values(Bad_case{"a_file", "photos/a.jpg"}, Bad_case{"a_missing_folder", "nowhere"},
                      Bad_case{"a_missing_percent_path", "gone%s%n"},
                      Bad_case{"a_path_longer_than_any_buffer", long_relative_path()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Location_field_test, folder_that_cannot_be_opened_shows_the_message) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  ASSERT_EQ(mkdir(m_dir.file("locked").c_str(), 0), 0);
  enter(m_dir.file("locked"));
  EXPECT_EQ(m_messages.messages, std::vector<std::string>{missing_message(m_dir.file("locked/"))});
}

TEST_F(Location_field_test, empty_field_does_nothing) {
  enter("");
  EXPECT_TRUE(m_view->current_dir().empty());
  EXPECT_TRUE(m_messages.messages.empty());
}

TEST_F(Location_field_test, other_keys_do_not_go) {
  m_field->value(m_dir.path().c_str());
  Fl::e_keysym = FL_KP_Enter;
  m_field->handle(FL_KEYDOWN);
  Fl::e_keysym = 'a';
  m_field->handle(FL_KEYUP);
  EXPECT_TRUE(m_view->current_dir().empty());
}

TEST_F(Location_field_test, global_folder_list_is_the_default_target) {
  Location_field field(0, 0, 100, 20);
  g_dir_view = m_view;
  field.value(m_dir.path().c_str());
  field.go_to_typed_path();
  g_dir_view = nullptr;
  EXPECT_EQ(m_view->current_dir(), m_dir.path());
}

}  // namespace

#include "core/preferences_dlg.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <sstream>
#include <vector>

#include "core/display_gamma.h"
#include "core/platform.h"
#include "core/preferences.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

std::string prefs_file() { return platform::home_dir() + ".fltk/veltrum.org/veltrum.prefs"; }

class Preferences_dialog : public ::testing::Test {
 protected:
  // Every test starts without a preferences file: one process may run them all, and an
  // earlier test's saved settings must not reach the next.
  void SetUp() override {
    std::remove(prefs_file().c_str());
    open_store();
  }
  void TearDown() override {
    dialog.reset();
    g_preferences = nullptr;
    root.reset();
  }
  void open_store() {
    root = std::make_unique<Preferences>(Fl_Preferences::USER, k_preferences_vendor,
                                         k_preferences_application);
    g_preferences = root.get();
  }
  // Destroys the root store, which writes the file.
  void close_store() {
    g_preferences = nullptr;
    root.reset();
  }
  void store(const char* key, const char* text) {
    Preferences group(*root, k_preferences_group);
    group.set(key, text);
  }
  PreferencesDlg& make_dialog() {
    dialog = std::make_unique<PreferencesDlg>(550, 385, "Preferences");
    return *dialog;
  }
  std::unique_ptr<Preferences> root;
  std::unique_ptr<PreferencesDlg> dialog;
};

TEST_F(Preferences_dialog, fresh_start_shows_the_defaults) {
  PreferencesDlg& d = make_dialog();
  EXPECT_TRUE(d.cache_thumbnails());
  EXPECT_TRUE(d.prompt_on_delete());
  EXPECT_TRUE(d.prompt_when_closing());
  EXPECT_TRUE(d.prompt_on_overwrite());
  EXPECT_TRUE(d.linearize_button->value());
  EXPECT_EQ(d.exposure_steps(), 1);
  EXPECT_STREQ(d.exposure_steps_choice->text(), "1/3 F-stops");
  EXPECT_EQ(d.open_as(), 0);
  EXPECT_STREQ(d.open_as_choice->text(), "Fit Window");
  EXPECT_EQ(d.thumbnail_size_choice->value(), 0);
  EXPECT_STREQ(d.thumbnail_size_choice->text(), "Large");
  EXPECT_EQ(d.resize_method(), 1);
  EXPECT_STREQ(d.resize_method_choice->text(), "Linear");
  EXPECT_FLOAT_EQ(d.gamma(), 2.2f);
  EXPECT_FLOAT_EQ(static_cast<float>(d.gamma_slider->value()), 2.2f);
  EXPECT_FLOAT_EQ(d.thumbnail_scale(), 1.0f);
  EXPECT_FLOAT_EQ(display_gamma(), 2.2f);
}

TEST_F(Preferences_dialog, choice_items_are_exact_and_slashes_stay_text) {
  PreferencesDlg& d = make_dialog();
  const std::vector<std::pair<Fl_Choice*, std::vector<std::string>>> expected = {
      {d.exposure_steps_choice,
       {"1/5 F-stops", "1/3 F-stops", "1 F-stop", "3 F-stops", "5 F-stops"}},
      {d.open_as_choice, {"Fit Window", "Original Size"}},
      {d.thumbnail_size_choice, {"Large", "Medium", "Small"}},
      {d.resize_method_choice, {"Nearest", "Linear", "Bi-cubic"}}};
  for (const auto& [choice, labels] : expected) {
    ASSERT_EQ(choice->size(), static_cast<int>(labels.size()) + 1);  // + terminator
    for (std::size_t i = 0; i < labels.size(); ++i)
      EXPECT_STREQ(choice->menu()[i].label(), labels[i].c_str());
  }
}

TEST_F(Preferences_dialog, save_then_exit_writes_the_group_in_key_order) {
  PreferencesDlg& d = make_dialog();
  d.delete_prompt_button->value(0);
  d.exposure_steps_choice->value(4);
  d.thumbnail_size_choice->value(2);
  d.resize_method_choice->value(2);
  d.gamma_slider->value(1.8);
  d.save_button->do_callback();
  EXPECT_FLOAT_EQ(d.gamma(), 1.8f);
  EXPECT_FLOAT_EQ(display_gamma(), 1.8f);
  EXPECT_FLOAT_EQ(d.thumbnail_scale(), 0.5f);
  dialog.reset();
  close_store();

  std::istringstream file(read_file_bytes(prefs_file()));
  std::string line;
  while (std::getline(file, line) && line != "[./Preferences]") {
  }
  std::vector<std::string> lines;
  while (std::getline(file, line) && (line.empty() || line[0] != '['))
    if (!line.empty()) lines.push_back(line);
  const std::vector<std::string> expected = {
      "Cache_thumbnails:1",    "Prompt_on_delete:0", "Prompt_when_closing:1",
      "Prompt_on_overwrite:1", "Exposure_steps:4",   "Open_as:0",
      "Thumbnail_size:2",      "Resize_method:2",    "Gamma:1.8"};
  EXPECT_EQ(lines, expected);

  // And a new start reads them back.
  open_store();
  PreferencesDlg& again = make_dialog();
  EXPECT_FALSE(again.prompt_on_delete());
  EXPECT_EQ(again.exposure_steps(), 4);
  EXPECT_FLOAT_EQ(again.gamma(), 1.8f);
  EXPECT_FLOAT_EQ(again.thumbnail_scale(), 0.5f);
}

TEST_F(Preferences_dialog, cancel_keeps_accessors_while_widget_readers_see_the_edit) {
  PreferencesDlg& d = make_dialog();
  d.gamma_slider->value(1.4);
  d.delete_prompt_button->value(0);
  d.thumbnail_size_choice->value(1);
  d.cancel_button->do_callback();
  EXPECT_FLOAT_EQ(d.gamma(), 2.2f);
  EXPECT_FLOAT_EQ(display_gamma(), 2.2f);
  EXPECT_FLOAT_EQ(d.thumbnail_scale(), 1.0f);
  EXPECT_FALSE(d.prompt_on_delete());  // read from the widget: the edit counts
  EXPECT_EQ(d.saved(k_pref_prompt_on_delete), 1);
  close_store();
  EXPECT_EQ(read_file_bytes(prefs_file()).find("Gamma"), std::string::npos);
}

TEST_F(Preferences_dialog, set_defaults_changes_widgets_only_until_save) {
  store("Gamma", "1.5");
  store("Prompt_on_overwrite", "0");
  store("Open_as", "1");
  PreferencesDlg& d = make_dialog();
  d.set_defaults_button->do_callback();
  EXPECT_TRUE(d.prompt_on_overwrite());
  EXPECT_EQ(d.open_as(), 0);
  EXPECT_FLOAT_EQ(static_cast<float>(d.gamma_slider->value()), 2.2f);
  EXPECT_FLOAT_EQ(d.gamma(), 1.5f);  // not saved yet
  EXPECT_EQ(d.saved(k_pref_open_as), 1);
  d.save_settings();
  EXPECT_FLOAT_EQ(d.gamma(), 2.2f);
  Preferences group(*root, k_preferences_group);
  int open_as = -1;
  group.get("Open_as", open_as, -1);
  EXPECT_EQ(open_as, 0);
}

struct Stored_case {
  const char* key;
  const char* text;
  int expected_int;  // saved(key) for integer keys
  float expected_gamma;
};

void PrintTo(const Stored_case& c, std::ostream* os) { *os << c.key << "_" << c.text; }

class Stored_values : public Preferences_dialog,
                      public ::testing::WithParamInterface<Stored_case> {};

TEST_P(Stored_values, are_brought_into_the_range_the_dialog_can_show) {
  const Stored_case& c = GetParam();
  store(c.key, c.text);
  PreferencesDlg& d = make_dialog();
  if (std::string(c.key) == "Gamma") {
    EXPECT_FLOAT_EQ(d.gamma(), c.expected_gamma);
    EXPECT_FLOAT_EQ(static_cast<float>(d.gamma_slider->value()), c.expected_gamma);
    return;
  }
  int key = 0;
  while (std::string(k_preference_keys[key]) != c.key) ++key;
  EXPECT_EQ(d.saved(static_cast<Preference_key>(key)), c.expected_int);
  // Saving again stores what the dialog shows, never the value it could not show.
  d.save_settings();
  Preferences group(*root, k_preferences_group);
  int stored = -12345;
  group.get(c.key, stored, -12345);
  EXPECT_EQ(stored, c.expected_int);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Stored_values,
    ::testing::Values(
        Stored_case{"Gamma", "2.5", 0, 2.5f}, Stored_case{"Gamma", "7.5", 0, 3.0f},
        Stored_case{"Gamma", "0.2", 0, 1.0f}, Stored_case{"Gamma", "nan", 0, 2.2f},
        Stored_case{"Gamma", "inf", 0, 2.2f}, Stored_case{"Gamma", "-999", 0, 2.2f},
        Stored_case{"Exposure_steps", "3", 3, 0}, Stored_case{"Exposure_steps", "9", 0, 0},
        Stored_case{"Exposure_steps", "-999", 1, 0},  // absent: default
        Stored_case{"Open_as", "-3", 0, 0}, Stored_case{"Open_as", "1", 1, 0},
        Stored_case{"Thumbnail_size", "5", 0, 0}, Stored_case{"Resize_method", "3", 0, 0},
        Stored_case{"Cache_thumbnails", "0", 0, 0}, Stored_case{"Cache_thumbnails", "7", 1, 0}));

struct Scale_case {
  const char* size;
  float scale;
};

void PrintTo(const Scale_case& c, std::ostream* os) { *os << "size_" << c.size; }

class Thumbnail_scale : public Preferences_dialog,
                        public ::testing::WithParamInterface<Scale_case> {};

TEST_P(Thumbnail_scale, follows_the_saved_size) {
  store("Thumbnail_size", GetParam().size);
  EXPECT_FLOAT_EQ(make_dialog().thumbnail_scale(), GetParam().scale);
}

INSTANTIATE_TEST_SUITE_P(Cases, Thumbnail_scale,
                         ::testing::Values(Scale_case{"0", 1.0f}, Scale_case{"1", 0.75f},
                                           Scale_case{"2", 0.5f}, Scale_case{"5", 1.0f}));

TEST_F(Preferences_dialog, display_gamma_follows_the_dialog_and_returns_to_default) {
  store("Gamma", "1.9");
  make_dialog();
  EXPECT_FLOAT_EQ(display_gamma(), 1.9f);
  dialog.reset();
  EXPECT_FLOAT_EQ(display_gamma(), 2.2f);
}

TEST_F(Preferences_dialog, without_a_store_uses_defaults_and_saves_only_its_members) {
  close_store();
  PreferencesDlg& d = make_dialog();
  EXPECT_FLOAT_EQ(d.gamma(), 2.2f);
  d.gamma_slider->value(2.6);
  d.save_settings();
  EXPECT_FLOAT_EQ(d.gamma(), 2.6f);
}

// The cache folder with cached thumbnails, the scratch file and things that must stay.
void fill_cache(const std::string& folder) {
  for (const char* name : {"123_456_789.jpg", "temp.jpg", "folder.png", "mine.JPG", "x.jpeg"})
    ASSERT_TRUE(write_file_bytes(folder + name, "x"));
  ASSERT_EQ(make_directory(folder + "album.jpg"), 0);
  ASSERT_TRUE(write_file_bytes(folder + "album.jpg/inner.jpg", "x"));
}

void expect_cleared(const std::string& folder) {
  EXPECT_FALSE(file_exists(folder + "123_456_789.jpg"));
  EXPECT_FALSE(file_exists(folder + "temp.jpg"));
  EXPECT_TRUE(file_exists(folder + "folder.png"));
  EXPECT_TRUE(file_exists(folder + "mine.JPG"));
  EXPECT_TRUE(file_exists(folder + "x.jpeg"));
  EXPECT_TRUE(file_exists(folder + "album.jpg/inner.jpg"));
}

TEST(Clear_thumbnail_cache, removes_only_lower_case_jpg_files) {
  Temp_dir dir;
  fill_cache(dir.path());
  EXPECT_EQ(clear_thumbnail_cache(dir.path()), 2);
  expect_cleared(dir.path());
}

TEST(Clear_thumbnail_cache, without_a_whole_folder_path_deletes_nothing) {
  Temp_dir dir;
  fill_cache(dir.path());
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  const int removed = clear_thumbnail_cache("");
  ASSERT_EQ(chdir(old), 0);
  EXPECT_EQ(removed, 0);
  std::string no_slash = dir.path();
  no_slash.pop_back();
  EXPECT_EQ(clear_thumbnail_cache(no_slash), 0);
  EXPECT_TRUE(file_exists(dir.file("temp.jpg")));
  EXPECT_EQ(clear_thumbnail_cache(dir.file("missing/")), 0);
}

TEST_F(Preferences_dialog, clear_cache_asks_first_and_clears_the_user_data_folder) {
  const std::string folder = user_data_folder();
  ASSERT_FALSE(folder.empty());
  fill_cache(folder);
  PreferencesDlg& d = make_dialog();
  Scripted_messages messages;
  messages.answers = {0};  // "Don't clear" (also what closing the question gives)
  d.clear_cache_button->do_callback();
  ASSERT_EQ(messages.questions.size(), 1u);
  EXPECT_EQ(messages.questions[0],
            "This will delete all cached thumbnails from the disk,\nand may result in slower "
            "loading times until thumbnails are cached again.\nDo you really want to clear the "
            "thumbnail cache?");
  EXPECT_TRUE(file_exists(folder + "temp.jpg"));
  messages.answers = {1};  // "Clear"
  d.clear_cache_button->do_callback();
  expect_cleared(folder);
}

}  // namespace

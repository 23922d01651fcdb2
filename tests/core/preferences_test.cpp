#include "core/preferences.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "core/platform.h"

namespace {

// What FLTK 1.3 does when the preferences file path does not fit the buffer (measured):
// it copies what fits, then cuts at the last '.' of that and puts a '/' there.
bool fltk_like_get_path(const std::string& prefs_file, char* buffer, int size) {
  std::string copy = prefs_file.substr(0, static_cast<std::size_t>(size) - 1);
  const auto dot = copy.rfind('.');
  if (dot == std::string::npos) return false;
  copy = copy.substr(0, dot) + "/";
  std::memcpy(buffer, copy.c_str(), copy.size() + 1);
  return true;
}

struct Path_case {
  std::string prefs_file;
  int max_size;
  std::string expected;  // empty: refused
};

void PrintTo(const Path_case& c, std::ostream* os) {
  *os << c.prefs_file.size() << "_chars_max_" << c.max_size;
}

class Checked_user_data_path : public ::testing::TestWithParam<Path_case> {};

TEST_P(Checked_user_data_path, never_returns_a_shortened_path) {
  const auto& c = GetParam();
  const std::string got =
      checked_user_data_path([&](char* b, int n) { return fltk_like_get_path(c.prefs_file, b, n); },
                             "veltrum.org", "veltrum", c.max_size);
  EXPECT_EQ(got, c.expected);
}

const std::string k_short = "/home/u/.fltk/veltrum.org/veltrum.prefs";
const std::string k_long_home = "/h/" + std::string(300, 'd') + "/.fltk/veltrum.org/veltrum.prefs";
// HOME holding a dot near where a 256-byte buffer cuts: FLTK's shortened result would be
// a folder above the user-data folder.
const std::string k_dotted_home = "/h/" + std::string(240, 'a') + ".b/" + std::string(40, 'c') +
                                  "/.fltk/veltrum.org/veltrum.prefs";

INSTANTIATE_TEST_SUITE_P(
    Cases, Checked_user_data_path,
    ::testing::Values(
        Path_case{k_short, 1 << 16, "/home/u/.fltk/veltrum.org/veltrum/"},
        Path_case{k_long_home, 1 << 16, k_long_home.substr(0, k_long_home.size() - 6) + "/"},
        Path_case{k_dotted_home, 1 << 16, k_dotted_home.substr(0, k_dotted_home.size() - 6) + "/"},
        // The buffer may not grow far enough: an error, never the cut path.
        Path_case{k_long_home, 256, ""}, Path_case{k_dotted_home, 256, ""}));

TEST(Checked_user_data_path, a_buffer_that_fits_is_asked_once) {
  // FLTK creates the folder a shortened path names, so every cut call leaves a stray one.
  std::vector<int> sizes;
  const std::string got = checked_user_data_path(
      [&](char* b, int n) {
        sizes.push_back(n);
        return fltk_like_get_path(k_long_home, b, n);
      },
      "veltrum.org", "veltrum", 1 << 16, 512);
  EXPECT_EQ(got, k_long_home.substr(0, k_long_home.size() - 6) + "/");
  EXPECT_EQ(sizes, std::vector<int>{512});
}

TEST(Checked_user_data_path, getter_failure_is_an_error) {
  EXPECT_EQ(checked_user_data_path([](char*, int) { return false; }, "v", "a"), "");
}

TEST(User_data_folder, empty_without_root_store) {
  g_preferences = nullptr;
  EXPECT_EQ(user_data_folder(), "");
}

TEST(User_data_folder, lies_under_home_and_exists) {
  Preferences root(Fl_Preferences::USER, k_preferences_vendor, k_preferences_application);
  g_preferences = &root;
  const std::string folder = user_data_folder();
  g_preferences = nullptr;
  EXPECT_EQ(folder, platform::home_dir() + ".fltk/veltrum.org/veltrum/");
  EXPECT_TRUE(file_exists(folder));
}

TEST(Preferences_store, values_persist_through_the_file_at_destruction) {
  {
    Preferences root(Fl_Preferences::USER, k_preferences_vendor, k_preferences_application);
    Preferences group(root, "Camera");
    group.set("k", 42);
  }
  Preferences root(Fl_Preferences::USER, k_preferences_vendor, k_preferences_application);
  Preferences group(root, "Camera");
  int v = 0;
  group.get("k", v, -1);
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(file_exists(platform::home_dir() + ".fltk/veltrum.org/veltrum.prefs"));
}

}  // namespace

#include "browser/folder_paths.h"

#include <gtest/gtest.h>

namespace {

struct Path_case {
  const char* name;
  std::string input;
  std::string expected;
};

void PrintTo(const Path_case& c, std::ostream* out) { *out << c.name; }

class Folder_path : public ::testing::TestWithParam<Path_case> {};

TEST_P(Folder_path, normal_form) { EXPECT_EQ(folder_path(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Folder_path,
    ::testing::Values(Path_case{"adds_separator", "/a/b", "/a/b/"},
                      Path_case{"keeps_separator", "/a/b/", "/a/b/"},
                      Path_case{"empty_is_root", "", "/"}, Path_case{"root", "/", "/"},
                      Path_case{"backslash_is_a_name_character", "/a\\b", "/a\\b/"}),
    [](const auto& info) { return std::string(info.param.name); });

class Parent_folder : public ::testing::TestWithParam<Path_case> {};

TEST_P(Parent_folder, drops_last_component) {
  EXPECT_EQ(parent_folder(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Parent_folder,
                         ::testing::Values(Path_case{"two_levels", "/photos/2020/", "/photos/"},
                                           Path_case{"one_level", "/photos/", "/"},
                                           Path_case{"root_has_none", "/", ""},
                                           Path_case{"empty_has_none", "", ""},
                                           Path_case{"no_separator_before_last", "photos/", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Typed_case {
  const char* name;
  std::string typed;
  std::string working_dir;
  std::string expected;
};

void PrintTo(const Typed_case& c, std::ostream* out) { *out << c.name; }

class Typed_path : public ::testing::TestWithParam<Typed_case> {};

TEST_P(Typed_path, resolves) {
  EXPECT_EQ(resolve_typed_path(GetParam().typed, GetParam().working_dir), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Typed_path,
    ::testing::Values(
        Typed_case{"absolute_gets_separator", "/data/photos", "/w/", "/data/photos/"},
        Typed_case{"relative_to_working_folder", "photos", "/w/x/", "/w/x/photos/"},
        Typed_case{"working_folder_without_separator", "photos", "/w/x", "/w/x/photos/"},
        Typed_case{"dot_prefix", "./photos", "/w/x/", "/w/x/photos/"},
        Typed_case{"dot_dot_prefix", "../photos", "/w/x/", "/w/photos/"},
        Typed_case{"dot_dot_alone", "..", "/w/x/", "/w/"},
        Typed_case{"dot_alone", ".", "/w/x/", "/w/x/"},
        Typed_case{"dot_dot_above_root_stays", "../../../a", "/w/", "/../../a/"},
        Typed_case{"repeated_separators", "/data///photos//2020", "/w/", "/data/photos/2020/"},
        Typed_case{"leading_double_separator", "//server/share", "/w/", "/server/share/"},
        Typed_case{"percent_kept", "/data/100%s%n", "/w/", "/data/100%s%n/"},
        Typed_case{"empty_is_nothing", "", "/w/", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Folder_menu_label, doubles_ampersands_and_at_signs_only) {
  EXPECT_EQ(folder_menu_label("/a&b/c\\d/"), "/a&&b/c\\d/");
  EXPECT_EQ(folder_menu_label("/u@host/@b%s/"), "/u@@host/@@b%s/");
  EXPECT_EQ(folder_menu_label("/plain/"), "/plain/");
}

}  // namespace

#include "core/file_names.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>

namespace {

struct Output_name_case {
  const char* name;
  const char* suffix;
  const char* extension;
  const char* expected;
};

void PrintTo(const Output_name_case& c, std::ostream* os) {
  *os << c.name << "+" << c.suffix << "+" << c.extension;
}

class Make_output_name : public ::testing::TestWithParam<Output_name_case> {};

TEST_P(Make_output_name, builds_base_suffix_extension) {
  const auto& c = GetParam();
  EXPECT_EQ(make_output_name(c.name, c.suffix, c.extension), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Make_output_name,
    ::testing::Values(Output_name_case{"IMG_0001.JPG", "_resize", ".png", "IMG_0001_resize.png"},
                      Output_name_case{"IMG_0001.JPG", "_resize", "", "IMG_0001_resize.JPG"},
                      Output_name_case{"a.b.c", "_x", "", "a.b_x.c"},
                      Output_name_case{"scene.hdr", "", ".jpg", "scene.jpg"},
                      Output_name_case{".hidden", "_crop", "", "_crop.hidden"}));

TEST(Make_output_name_errors, name_without_dot_throws_out_of_range) {
  EXPECT_THROW(make_output_name("README", "_x", ""), std::out_of_range);
}

struct Split_case {
  const char* path;
  const char* first;
  const char* second;
};

void PrintTo(const Split_case& c, std::ostream* os) { *os << c.path; }

class Split_file_name : public ::testing::TestWithParam<Split_case> {};

TEST_P(Split_file_name, gives_base_and_extension) {
  std::string base, ext;
  split_file_name(GetParam().path, base, ext);
  EXPECT_EQ(base, GetParam().first);
  EXPECT_EQ(ext, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Cases, Split_file_name,
                         ::testing::Values(Split_case{"E:/pics/a.b.jpg", "a.b", ".jpg"},
                                           Split_case{"/pics/b\\a.b.jpg", "b\\a.b", ".jpg"},
                                           Split_case{"/home/u/x.tif", "x", ".tif"},
                                           Split_case{"plain.exr", "plain", ".exr"},
                                           Split_case{"/d/mixed\\f.hdr", "mixed\\f", ".hdr"}));

TEST(Split_file_name_errors, dot_only_in_folder_or_nowhere_throws_out_of_range) {
  std::string base, ext;
  EXPECT_THROW(split_file_name("/pics/noext", base, ext), std::out_of_range);
  EXPECT_THROW(split_file_name("/a.b/noext", base, ext), std::out_of_range);
}

class Split_path : public ::testing::TestWithParam<Split_case> {};

TEST_P(Split_path, gives_folder_and_file_name) {
  std::string folder, name;
  split_path(GetParam().path, folder, name);
  EXPECT_EQ(folder, GetParam().first);
  EXPECT_EQ(name, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Cases, Split_path,
                         ::testing::Values(Split_case{"/pics/b\\x.tif", "/pics/", "b\\x.tif"},
                                           Split_case{"/home/u/x.tif", "/home/u/", "x.tif"},
                                           Split_case{"/home/u/", "/home/u/", ""},
                                           Split_case{"x.tif", "", "x.tif"},
                                           Split_case{"/", "/", ""}));

struct Name_case {
  const char* name;
  bool valid;
};

void PrintTo(const Name_case& c, std::ostream* os) {
  for (const char* p = c.name; *p; ++p) {
    const auto u = static_cast<unsigned char>(*p);
    if (u > ' ' && u < 127 && u != '\\')
      *os << *p;
    else
      *os << "\\x" << std::hex << int(u) << std::dec;
  }
  if (!*c.name) *os << "(empty)";
}

class Is_valid_file_name : public ::testing::TestWithParam<Name_case> {};

TEST_P(Is_valid_file_name, accepts_only_ascii_alnum_underscore_hyphen_space) {
  EXPECT_EQ(is_valid_file_name(GetParam().name), GetParam().valid) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Is_valid_file_name,
                         ::testing::Values(Name_case{"My Photos_2-a", true},
                                           Name_case{"New Directory", true}, Name_case{"", false},
                                           Name_case{"a.b", false}, Name_case{"a/b", false},
                                           Name_case{"a\\b", false}, Name_case{"tab\there", false},
                                           Name_case{"caf\xc3\xa9", false},  // UTF-8 é
                                           Name_case{"\xff\xfe", false},     // stray high bytes
                                           Name_case{"Z9", true}));

}  // namespace

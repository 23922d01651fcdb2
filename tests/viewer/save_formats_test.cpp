// The save-as chooser's formats: which entry a source preselects, and the type code and
// file name each entry gives a typed path.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/hdr_image.h"
#include "core/image_formats.h"
#include "viewer/save_formats.h"

namespace {

// Entries of a tab-separated filter list.
int entry_count(const char* list) {
  int n = 1;
  for (const char* c = list; *c; ++c) n += *c == '\t';
  return n;
}

TEST(Save_formats, ListsNameFourHdrAndSevenOtherFormats) {
  EXPECT_EQ(entry_count(k_hdr_save_formats), named_format_count(true));
  EXPECT_EQ(entry_count(k_ldr_save_formats), named_format_count(false));
  EXPECT_EQ(named_format_count(true), 4);
  EXPECT_EQ(named_format_count(false), 7);
}

TEST(Save_formats, SourceTypePreselectsItsOwnFormat) {
  struct Case {
    bool hdr;
    uint32_t type;
    int entry;
  };
  const Case cases[] = {
      {true, k_type_exr, 0},         {true, k_type_new_hdr, 0},     {true, k_type_rgbe, 1},
      {true, k_type_tiff_logluv, 2}, {true, k_type_tiff_logl, 2},   {true, k_type_tiff_float, 3},
      {false, k_type_jpeg, 0},       {false, k_type_new_ldr, 0},    {false, k_type_tiff8, 1},
      {false, k_type_png, 2},        {false, k_type_unassigned, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(preselected_format(c.hdr, c.type), c.entry) << c.hdr << " " << c.type;
}

struct Path_case {
  bool hdr;
  int entry;
  const char* typed;
  const char* want;
  uint32_t type;
};

class Output_path : public ::testing::TestWithParam<Path_case> {};

TEST_P(Output_path, KeepsAFittingExtensionElseAppendsTheFormats) {
  const Path_case& c = GetParam();
  std::string path = c.typed;
  uint32_t type = 99;
  ASSERT_TRUE(complete_output_path(c.hdr, c.entry, path, type));
  EXPECT_EQ(path, c.want);
  EXPECT_EQ(type, c.type);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Output_path,
    ::testing::Values(Path_case{true, 0, "/d/a.exr", "/d/a.exr", k_type_exr},
                      Path_case{true, 0, "/d/a", "/d/a.exr", k_type_exr},
                      Path_case{true, 1, "/d/a.hdr", "/d/a.hdr", k_type_rgbe},
                      Path_case{true, 1, "/d/a.pic", "/d/a.pic", k_type_rgbe},
                      Path_case{true, 1, "/d/a.RGBE", "/d/a.RGBE", k_type_rgbe},
                      Path_case{true, 1, "/d/a.exr", "/d/a.exr.hdr", k_type_rgbe},
                      Path_case{true, 2, "/d/a.tiff", "/d/a.tiff", k_type_tiff_logluv},
                      Path_case{true, 3, "/d/a", "/d/a.tif", k_type_tiff_float},
                      Path_case{false, 0, "/d/a.png", "/d/a.png.jpg", k_type_jpeg},
                      Path_case{false, 0, "/d/a.JPEG", "/d/a.JPEG", k_type_jpeg},
                      Path_case{false, 1, "/d/a.TIFF", "/d/a.TIFF", k_type_tiff8},
                      Path_case{false, 1, "/d/a", "/d/a.tif", k_type_tiff8},
                      Path_case{false, 2, "/d/a.jpg", "/d/a.jpg.png", k_type_png},
                      Path_case{false, 3, "/d/a.exr", "/d/a.exr", k_type_exr},
                      Path_case{false, 4, "/d/a.rgbe", "/d/a.rgbe", k_type_rgbe},
                      Path_case{false, 5, "/d/a.tif", "/d/a.tif", k_type_tiff_logluv},
                      Path_case{false, 6, "/d/a.tif", "/d/a.tif", k_type_tiff_float},
                      // Only the file name's dot counts, not one in a folder name.
                      Path_case{false, 2, "/d.png/a", "/d.png/a.png", k_type_png}));

TEST(Save_formats, EntryNamingNoFormatLeavesPathAndType) {
  const std::pair<bool, int> unnamed[] = {{true, 4}, {true, -1}, {false, 7}, {false, 8}};
  for (const auto& [hdr, entry] : unnamed) {
    std::string path = "/d/a";
    uint32_t type = 99;
    EXPECT_FALSE(complete_output_path(hdr, entry, path, type)) << entry;
    EXPECT_EQ(path, "/d/a");
    EXPECT_EQ(type, 99u);
  }
}

TEST(Save_formats, OnlyFormatsWithAWriterAreWritable) {
  for (uint32_t t = 0; t <= 10; ++t) {
    const bool want = t != k_type_unassigned && t != k_type_tiff_logl && t != k_type_new_hdr &&
                      t != k_type_new_ldr;
    EXPECT_EQ(is_writable_type(t), want) << t;
  }
}

}  // namespace

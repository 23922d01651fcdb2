#include "core/exif_segment.h"

#include <gtest/gtest.h>
#include <libexif/exif-data.h>

#include <string>
#include <vector>

#include "core/image_errors.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

std::string as_string(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }
std::vector<uint8_t> as_bytes(const std::string& s) { return {s.begin(), s.end()}; }

// A small baseline JPEG as libjpeg writes it (starts FF D8 FF E0, the JFIF segment).
std::string plain_jpeg(const Temp_dir& dir) {
  std::vector<uint8_t> rgb(16 * 8 * 3, 100);
  write_jpeg(dir.file("plain.jpg"), 16, 8, 3, rgb.data());
  return read_file_bytes(dir.file("plain.jpg"));
}

TEST(ReadExifSegment, LeadingApp1IsReturnedWhole) {
  Temp_dir dir;
  const std::string segment = exif_app1_segment("Canon", "EOS 5D", "thumbnail bytes");
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), with_leading_segment(plain_jpeg(dir), segment)));
  const std::vector<uint8_t> block = read_exif_segment(dir.file("a.jpg"));
  EXPECT_EQ(as_string(block), segment);
}

struct Bad_start {
  const char* name;
  std::string bytes;
};

class ReadExifSegmentRefuses : public ::testing::TestWithParam<Bad_start> {};

TEST_P(ReadExifSegmentRefuses, GivesNoBlock) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), GetParam().bytes));
  EXPECT_TRUE(read_exif_segment(dir.file("a.jpg")).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadExifSegmentRefuses,
    ::testing::Values(
        Bad_start{"App1_after_jfif_runs_past_end",
                  std::string("\xff\xd8\xff\xe0\x00\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0"
                              "\xff\xe1\x00\x08Exif\0\0",
                              30)},
        Bad_start{"Shorter_than_six_bytes", std::string("\xff\xd8\xff\xe1\x00", 5)},
        Bad_start{"Length_zero", std::string("\xff\xd8\xff\xe1\x00\x00rest", 10)},
        Bad_start{"Length_one", std::string("\xff\xd8\xff\xe1\x00\x01rest", 10)},
        Bad_start{"Length_past_end", std::string("\xff\xd8\xff\xe1\x10\x00Exif\0\0", 12)},
        Bad_start{"Not_a_jpeg", std::string("\x89PNG\r\n\x1a\n", 8)}),
    [](const ::testing::TestParamInfo<Bad_start>& info) { return std::string(info.param.name); });

// A segment of the given marker with the body.
std::string segment(uint8_t marker, const std::string& body) {
  std::string s("\xff", 1);
  s += char(marker);
  s += char((body.size() + 2) >> 8);
  s += char((body.size() + 2) & 0xff);
  return s + body;
}

// The JPEG with the extra bytes inserted after its first n segments (n = 1: after JFIF).
std::string after_segments(const std::string& jpeg, int n, const std::string& extra) {
  size_t at = 2;
  for (int k = 0; k < n; ++k)
    at += 2 + (size_t(uint8_t(jpeg[at + 2])) << 8 | uint8_t(jpeg[at + 3]));
  return jpeg.substr(0, at) + extra + jpeg.substr(at);
}

struct Layout_case {
  const char* name;
  int after;           // segments of the plain JPEG (JFIF, then the first table) before it
  std::string before;  // further segments between those and the EXIF block
  bool found;
};

void PrintTo(const Layout_case& c, std::ostream* os) { *os << c.name; }

class ReadExifSegmentAmongSegments : public ::testing::TestWithParam<Layout_case> {};

// Many cameras and editors put a JFIF segment, an ICC profile or XMP before the EXIF
// block; it is found among the application segments that lead the file, but not after
// the first other segment.
TEST_P(ReadExifSegmentAmongSegments, FindsTheExifBlockByteExact) {
  Temp_dir dir;
  const std::string exif = exif_app1_segment("Canon", "EOS 5D", "thumbnail bytes", false, 6);
  const Layout_case& c = GetParam();
  const std::string jpeg = plain_jpeg(dir);
  ASSERT_EQ(jpeg.substr(0, 4), "\xff\xd8\xff\xe0");
  ASSERT_TRUE(write_file_bytes(dir.file("a.jpg"), after_segments(jpeg, c.after, c.before + exif)));
  EXPECT_EQ(as_string(read_exif_segment(dir.file("a.jpg"))), c.found ? exif : std::string());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ReadExifSegmentAmongSegments,
    ::testing::Values(
        Layout_case{"after_jfif", 1, "", true},
        Layout_case{"after_jfif_and_icc_profile", 1,
                    segment(0xe2, std::string("ICC_PROFILE\0\x01\x01profile", 21)), true},
        Layout_case{"after_xmp", 1, segment(0xe1, "http://ns.adobe.com/xap/1.0/"), true},
        Layout_case{"after_fill_bytes", 1, "\xff\xff", true},
        Layout_case{"after_quantisation_table", 2, "", false}),
    [](const ::testing::TestParamInfo<Layout_case>& info) { return std::string(info.param.name); });

TEST(ReadExifSegment, FileWithoutExifGivesNoBlock) {
  Temp_dir dir;
  const std::string jpeg = plain_jpeg(dir);
  EXPECT_TRUE(read_exif_segment(dir.file("plain.jpg")).empty());
  const std::string xmp_only =
      after_segments(jpeg, 1, segment(0xe1, "http://ns.adobe.com/xap/1.0/"));
  ASSERT_TRUE(write_file_bytes(dir.file("xmp.jpg"), xmp_only));
  EXPECT_TRUE(read_exif_segment(dir.file("xmp.jpg")).empty());
}

TEST(ReadExifSegment, MissingFileGivesNoBlock) {
  Temp_dir dir;
  EXPECT_TRUE(read_exif_segment(dir.file("none.jpg")).empty());
}

TEST(ReadExifSegment, LengthTwoIsAnEmptySegment) {
  Temp_dir dir;
  ASSERT_TRUE(
      write_file_bytes(dir.file("a.jpg"), std::string("\xff\xd8\xff\xe1\x00\x02\xff\xd9", 8)));
  EXPECT_EQ(as_string(read_exif_segment(dir.file("a.jpg"))), std::string("\xff\xe1\x00\x02", 4));
}

class CutIfdLink : public ::testing::TestWithParam<bool> {};

TEST_P(CutIfdLink, ClearsOnlyTheLinkToIfd1) {
  const std::string segment = exif_app1_segment("Nikon", "D800", "thumb", GetParam());
  ASSERT_NE(ifd1_link(segment), 0u) << "fixture must link IFD1";
  std::vector<uint8_t> block = as_bytes(segment);
  cut_ifd_link(block);
  const std::string cut = as_string(block);
  EXPECT_EQ(ifd1_link(cut), 0u);
  const size_t at = size_t(ifd1_link_offset(segment));
  EXPECT_EQ(cut.substr(0, at), segment.substr(0, at));
  EXPECT_EQ(cut.substr(at + 4), segment.substr(at + 4));
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, CutIfdLink, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Motorola" : "Intel");
                         });

// Blocks whose header or offsets are unusable must come back unchanged (and never be
// written outside, which the sanitizer build checks).
TEST(CutIfdLink, UnusableBlocksStayUnchanged) {
  const std::string good = exif_app1_segment("A", "B", "thumb");
  std::vector<std::string> bad;
  bad.push_back(good.substr(0, 12));  // too short for a TIFF header
  std::string order = good;
  order[10] = 'X';
  bad.push_back(order);
  std::string magic = good;
  magic[12] = 43;
  bad.push_back(magic);
  std::string far = good;  // IFD0 offset beyond the block
  far[14] = far[15] = far[16] = '\xff';
  far[17] = '\x7f';
  bad.push_back(far);
  std::string last = good;  // IFD0 offset leaving no room for the entry count
  const uint32_t off = uint32_t(good.size() - 11);
  last[14] = char(off & 0xff);
  last[15] = char(off >> 8);
  last[16] = last[17] = 0;
  bad.push_back(last);
  std::string count = good;  // entry count running past the end
  const size_t ifd0 = 10 + uint8_t(good[14]);
  count[ifd0] = count[ifd0 + 1] = '\xff';
  bad.push_back(count);
  for (const std::string& b : bad) {
    std::vector<uint8_t> block = as_bytes(b);
    cut_ifd_link(block);
    EXPECT_EQ(as_string(block), b);
  }
}

class SetOrientationNormal : public ::testing::TestWithParam<bool> {};

TEST_P(SetOrientationNormal, ChangesOnlyTheOrientationValue) {
  const std::string segment = exif_app1_segment("Nikon", "D800", "thumb", GetParam(), 8);
  const int64_t at = orientation_offset(segment);
  ASSERT_GT(at, 0);
  std::vector<uint8_t> block = as_bytes(segment);
  set_orientation_normal(block);
  std::string expected = segment;
  expected[size_t(at)] = GetParam() ? '\0' : '\1';
  expected[size_t(at) + 1] = GetParam() ? '\1' : '\0';
  EXPECT_EQ(as_string(block), expected);
  ExifData* exif = exif_data_new_from_data(block.data() + 4, unsigned(block.size() - 4));
  ASSERT_NE(exif, nullptr);
  ExifEntry* e = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(exif_get_short(e->data, exif_data_get_byte_order(exif)), 1);
  exif_data_unref(exif);

  // Without the tag, or without a usable header, nothing changes.
  const std::string none = exif_app1_segment("Nikon", "D800", "thumb", GetParam());
  for (const std::string& b : {none, segment.substr(0, 12)}) {
    std::vector<uint8_t> v = as_bytes(b);
    set_orientation_normal(v);
    EXPECT_EQ(as_string(v), b);
  }
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, SetOrientationNormal, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Motorola" : "Intel");
                         });

TEST(InsertExifSegment, PutsTheBlockRightAfterStartOfImage) {
  Temp_dir dir;
  const std::string jpeg = plain_jpeg(dir);
  const std::string segment = exif_app1_segment("Canon", "EOS 5D", "thumbnail bytes");
  ASSERT_TRUE(insert_exif_segment(dir.file("plain.jpg"), as_bytes(segment)));
  const std::string out = read_file_bytes(dir.file("plain.jpg"));
  ASSERT_EQ(out.size(), jpeg.size() + segment.size());
  EXPECT_EQ(out.substr(0, 4), "\xff\xd8\xff\xe1");
  EXPECT_EQ(ifd1_link(out.substr(2, segment.size())), 0u);
  EXPECT_EQ(out.substr(2 + segment.size()), jpeg.substr(2));

  ExifData* exif = exif_data_new_from_file(dir.file("plain.jpg").c_str());
  ASSERT_NE(exif, nullptr);
  ExifEntry* make = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_MAKE);
  ASSERT_NE(make, nullptr);
  char value[64];
  EXPECT_STREQ(exif_entry_get_value(make, value, sizeof value), "Canon");
  EXPECT_EQ(exif->size, 0u) << "old thumbnail must be gone";
  exif_data_unref(exif);
}

TEST(InsertExifSegment, LeavesFilesItCannotUse) {
  Temp_dir dir;
  const std::vector<uint8_t> block = as_bytes(exif_app1_segment("A", "B"));
  const std::string already = with_leading_segment(plain_jpeg(dir), as_string(block));
  const std::string cases[] = {already, "not a jpeg at all", std::string("\xff\xd8", 2)};
  for (const std::string& bytes : cases) {
    ASSERT_TRUE(write_file_bytes(dir.file("x.jpg"), bytes));
    EXPECT_FALSE(insert_exif_segment(dir.file("x.jpg"), block));
    EXPECT_EQ(read_file_bytes(dir.file("x.jpg")), bytes);
  }
  EXPECT_FALSE(insert_exif_segment(dir.file("missing.jpg"), block));
  EXPECT_FALSE(insert_exif_segment(dir.file("x.jpg"), {}));
}

}  // namespace

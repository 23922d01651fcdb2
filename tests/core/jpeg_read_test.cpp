// JPEG decoding into the image type: the exact values of today's decoder pinned on a table
// of layouts (colour, grey, CMYK, progressive, sizes off the 16-pixel blocks), and data
// cut short or damaged.
#include "core/jpeg_read.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_load.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

struct Pinned_case {
  const char* name;
  uint32_t w, h;
  int components;
  bool progressive;
  uint64_t hash;  // of the loaded planes, taken from the decoder before it was rewritten
};

class JpegPinned : public ::testing::TestWithParam<Pinned_case> {};

TEST_P(JpegPinned, LoadsTheSameValuesAsBefore) {
  const Pinned_case& c = GetParam();
  Temp_dir dir;
  const std::string path = dir.file("p.jpg");
  write_textured_jpeg(path, c.w, c.h, c.components, c.progressive);
  Hdr_image image;
  load_image(image, path, k_type_jpeg);
  ASSERT_EQ(image.width(), int(c.w));
  ASSERT_EQ(image.height(), int(c.h));
  ASSERT_EQ(image.spectrum(), 3);
  EXPECT_EQ(image.type, uint32_t(k_type_jpeg));
  const uint64_t hash = fnv1a(image.data(), image.size() * sizeof(float));
  EXPECT_EQ(hash, c.hash) << std::hex << "0x" << hash;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, JpegPinned,
    ::testing::Values(Pinned_case{"rgb_blocks", 64, 48, 3, false, 0x6b35e0ae5ff238fdull},
                      Pinned_case{"rgb_odd", 333, 217, 3, false, 0x256ea9d7bd044a6aull},
                      Pinned_case{"rgb_wide", 1001, 67, 3, false, 0x9d2db6df75d63e37ull},
                      Pinned_case{"rgb_one_row", 50, 1, 3, false, 0xbe607155adfd542full},
                      Pinned_case{"rgb_one_column", 1, 37, 3, false, 0xa96e97c7f9413da4ull},
                      Pinned_case{"rgb_progressive", 257, 131, 3, true, 0x56ce1b830dd16c78ull},
                      Pinned_case{"grey_odd", 211, 99, 1, false, 0x8bc6077affae201full},
                      Pinned_case{"grey_progressive", 96, 80, 1, true, 0x173d7fcd7d9a7dull},
                      Pinned_case{"cmyk_odd", 77, 45, 4, false, 0x399bea7218234bccull}),
    [](const auto& info) { return std::string(info.param.name); });

// libjpeg's own count of warnings for a file's bytes (-1 when it fails outright): what
// each damaged fixture claims to raise.
struct Counting_errors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

long libjpeg_warnings(const std::string& bytes) {
  jpeg_decompress_struct cinfo;
  Counting_errors err;
  cinfo.err = jpeg_std_error(&err.manager);
  err.manager.error_exit = [](j_common_ptr c) {
    std::longjmp(reinterpret_cast<Counting_errors*>(c->err)->jump, 1);
  };
  err.manager.output_message = [](j_common_ptr) {};
  jpeg_create_decompress(&cinfo);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return -1;
  }
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  std::vector<unsigned char> row(size_t(cinfo.output_width) * size_t(cinfo.output_components));
  JSAMPROW rows[1] = {row.data()};
  while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, rows, 1);
  jpeg_finish_decompress(&cinfo);
  const long warnings = err.manager.num_warnings;
  jpeg_destroy_decompress(&cinfo);
  return warnings;
}

// Ways of damaging the fixture (200 x 160, textured, quality 85).
enum class Damage { cut_to_half, stray_marker, corrupt_byte, scans_missing };

struct Damage_case {
  const char* name;
  Damage damage;
  bool progressive;
  long warnings;     // libjpeg's count for the damaged bytes
  bool rows_intact;  // the first block rows decode from intact data
};

std::string damaged_copy(const std::string& bytes, Damage damage) {
  std::string out = bytes;
  switch (damage) {
    case Damage::cut_to_half:
      return bytes.substr(0, bytes.size() / 2);
    case Damage::stray_marker:
      // libjpeg warns "Corrupt JPEG data" and resynchronises.
      out[out.size() / 2] = char(0xff);
      out[out.size() / 2 + 1] = char(0xd3);
      return out;
    case Damage::corrupt_byte:
      // One bit of one byte of the scan, at a place where libjpeg warns exactly once.
      out[9832] = char(out[9832] ^ 0x10);
      return out;
    case Damage::scans_missing:
      // A progressive file cut right before its last scan: libjpeg warns only of the
      // premature end, as for a file lacking just its end marker.
      return bytes.substr(0, bytes.rfind("\xff\xda"));
  }
  return out;
}

class JpegDamaged : public ::testing::TestWithParam<Damage_case> {};

TEST_P(JpegDamaged, LoadRefusesAndTheShownLoadKeepsTheDecodedPart) {
  const Damage_case& c = GetParam();
  Temp_dir dir;
  const std::string whole = dir.file("whole.jpg"), path = dir.file("cut.jpg");
  write_textured_jpeg(whole, 200, 160, 3, c.progressive);
  const std::string bytes = damaged_copy(read_file_bytes(whole), c.damage);
  ASSERT_EQ(libjpeg_warnings(bytes), c.warnings);
  ASSERT_TRUE(write_file_bytes(path, bytes));

  Hdr_image image;
  try {
    load_image(image, path, k_type_jpeg);
    FAIL() << "a damaged file loaded as a whole picture";
  } catch (const Incomplete_image_error& e) {
    EXPECT_EQ(std::string(e.what()), "Image data is damaged; the picture is incomplete: " + path);
    ASSERT_TRUE(e.partial());
    EXPECT_EQ(e.partial()->width(), 200);
  }
  EXPECT_TRUE(image.is_empty());

  std::string damage;
  const std::unique_ptr<Hdr_image> shown = load_image_to_show(path, k_type_jpeg, damage);
  EXPECT_EQ(damage, "Image data is damaged; the picture is incomplete: " + path);
  ASSERT_EQ(shown->width(), 200);
  ASSERT_EQ(shown->height(), 160);
  ASSERT_EQ(shown->spectrum(), 3);
  EXPECT_EQ(shown->type, uint32_t(k_type_jpeg));
  if (!c.rows_intact) return;
  const Hdr_image reference(whole, k_type_jpeg);
  for (int ch = 0; ch < 3; ++ch)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 200; ++x)
        ASSERT_EQ((*shown)(x, y, 0, ch), reference(x, y, 0, ch)) << x << " " << y << " " << ch;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JpegDamaged,
    ::testing::Values(Damage_case{"cut_to_half", Damage::cut_to_half, false, 2, true},
                      Damage_case{"stray_marker", Damage::stray_marker, false, 2, true},
                      Damage_case{"one_corrupt_byte", Damage::corrupt_byte, false, 1, true},
                      Damage_case{"progressive_last_scan_missing", Damage::scans_missing, true, 1,
                                  false}),
    [](const auto& info) { return std::string(info.param.name); });

// Cut downloads and some cameras leave out the final end marker. libjpeg then warns once,
// yet every row decodes from data: the picture is whole and opens without a word.
class JpegWithoutEndMarker : public ::testing::TestWithParam<bool> {};

TEST_P(JpegWithoutEndMarker, LoadsTheWholePictureQuietly) {
  Temp_dir dir;
  const std::string whole = dir.file("whole.jpg"), path = dir.file("no_eoi.jpg");
  write_textured_jpeg(whole, 200, 160, 3, GetParam());
  const std::string bytes = read_file_bytes(whole);
  ASSERT_EQ(bytes.substr(bytes.size() - 2), "\xff\xd9");
  const std::string cut = bytes.substr(0, bytes.size() - 2);
  ASSERT_EQ(libjpeg_warnings(cut), 1);
  ASSERT_TRUE(write_file_bytes(path, cut));

  Hdr_image image;
  ASSERT_NO_THROW(load_image(image, path, k_type_jpeg));
  const Hdr_image reference(whole, k_type_jpeg);
  ASSERT_EQ(image.size(), reference.size());
  EXPECT_EQ(0, std::memcmp(image.data(), reference.data(), image.size() * sizeof(float)));

  std::string damage;
  const std::unique_ptr<Hdr_image> shown = load_image_to_show(path, k_type_jpeg, damage);
  EXPECT_EQ(damage, "");
  EXPECT_EQ(shown->width(), 200);
}

INSTANTIATE_TEST_SUITE_P(Layouts, JpegWithoutEndMarker, ::testing::Values(false, true),
                         [](const auto& info) {
                           return std::string(info.param ? "progressive" : "baseline");
                         });

TEST(JpegShownLoad, WholeFileHasNoDamageText) {
  Temp_dir dir;
  const std::string path = dir.file("a.jpg");
  write_textured_jpeg(path, 40, 30, 1);
  std::string damage = "unchanged?";
  damage.clear();
  const std::unique_ptr<Hdr_image> shown = load_image_to_show(path, k_type_jpeg, damage);
  EXPECT_TRUE(damage.empty());
  EXPECT_EQ(shown->width(), 40);
  EXPECT_EQ(shown->spectrum(), 3);
}

}  // namespace

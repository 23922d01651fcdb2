// JPEG decoding into the image type: the exact values of today's decoder pinned on a table
// of layouts (colour, grey, CMYK, progressive, sizes off the 16-pixel blocks), and data
// cut short or damaged.
#include "core/jpeg_read.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_load.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"

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

// The fixture's bytes with its entropy-coded data cut to half, or with a stray marker
// written into its middle (libjpeg warns "Corrupt JPEG data" and resynchronises).
struct Damage_case {
  const char* name;
  bool cut;
};

std::string damaged_copy(const std::string& bytes, bool cut) {
  if (cut) return bytes.substr(0, bytes.size() / 2);
  std::string out = bytes;
  out[out.size() / 2] = char(0xff);
  out[out.size() / 2 + 1] = char(0xd3);
  return out;
}

class JpegDamaged : public ::testing::TestWithParam<Damage_case> {};

TEST_P(JpegDamaged, LoadRefusesAndTheShownLoadKeepsTheDecodedPart) {
  Temp_dir dir;
  const std::string whole = dir.file("whole.jpg"), path = dir.file("cut.jpg");
  write_textured_jpeg(whole, 200, 160, 3);
  ASSERT_TRUE(write_file_bytes(path, damaged_copy(read_file_bytes(whole), GetParam().cut)));

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
  // The first block rows decode from intact data: they equal the whole file's.
  const Hdr_image reference(whole, k_type_jpeg);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 200; ++x)
        ASSERT_EQ((*shown)(x, y, 0, c), reference(x, y, 0, c)) << x << " " << y << " " << c;
}

INSTANTIATE_TEST_SUITE_P(Kinds, JpegDamaged,
                         ::testing::Values(Damage_case{"cut_to_half", true},
                                           Damage_case{"stray_marker", false}),
                         [](const auto& info) { return std::string(info.param.name); });

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

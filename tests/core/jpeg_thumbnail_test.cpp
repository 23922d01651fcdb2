// Thumbnails of JPEG files made while the decoder hands over its rows: bit for bit the
// thumbnail of the whole loaded image, and the same cache file, on a table of shapes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/jpeg_thumb.h"
#include "core/thumbnail_pixels.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"

namespace {

struct Shape_case {
  const char* name;
  uint32_t w, h;
  int components;
  uint64_t planes_hash, cache_hash;  // pinned from the whole-image thumbnail
};

class JpegThumbnail : public ::testing::TestWithParam<Shape_case> {};

TEST_P(JpegThumbnail, PinnedPlanesAndCacheFile) {
  const Shape_case& c = GetParam();
  Temp_dir dir;
  const std::string path = dir.file("p.jpg");
  write_textured_jpeg(path, c.w, c.h, c.components);
  uint32_t w = 0, h = 0;
  const Thumbnail_planes t = thumbnail_by_full_load(path, k_type_jpeg, w, h);
  EXPECT_EQ(w, c.w);
  EXPECT_EQ(h, c.h);
  uint32_t tw = 0, th = 0;
  fitted_thumbnail_size(c.w, c.h, tw, th);
  ASSERT_EQ(t.width, tw);
  ASSERT_EQ(t.height, th);
  const uint64_t planes = fnv1a(t.data.data(), t.data.size());
  EXPECT_EQ(planes, c.planes_hash) << std::hex << "0x" << planes;
  const std::string cache = dir.file("cache.jpg");
  const std::vector<uint8_t> rgb = interleaved_rgb(t);
  write_jpeg(cache, rgb.data(), t.width, t.height);
  const std::string bytes = read_file_bytes(cache);
  const uint64_t file = fnv1a(bytes.data(), bytes.size());
  EXPECT_EQ(file, c.cache_hash) << std::hex << "0x" << file;

  // The oracle: the whole decoded image shrunk at once.
  Hdr_image whole(path, k_type_jpeg);
  const Thumbnail_planes expected = thumbnail_from_image(whole, k_type_jpeg);
  ASSERT_EQ(expected.width, t.width);
  ASSERT_EQ(expected.height, t.height);
  EXPECT_TRUE(expected.data == t.data);
  const std::string oracle_cache = dir.file("oracle.jpg");
  const std::vector<uint8_t> oracle_rgb = interleaved_rgb(expected);
  write_jpeg(oracle_cache, oracle_rgb.data(), expected.width, expected.height);
  EXPECT_TRUE(read_file_bytes(oracle_cache) == bytes);
}

// A file cut short or damaged in its middle makes no thumbnail (never libjpeg's grey
// fill), for a picture shrunk while decoding and for one smaller than the box.
struct Broken_case {
  const char* name;
  uint32_t w, h;
  bool cut;
};

class JpegThumbnailBroken : public ::testing::TestWithParam<Broken_case> {};

TEST_P(JpegThumbnailBroken, GivesNoThumbnail) {
  const Broken_case& c = GetParam();
  Temp_dir dir;
  const std::string path = dir.file("p.jpg");
  write_textured_jpeg(path, c.w, c.h, 3);
  std::string bytes = read_file_bytes(path);
  if (c.cut) {
    bytes.resize(bytes.size() / 2);
  } else {
    bytes[bytes.size() / 2] = char(0xff);
    bytes[bytes.size() / 2 + 1] = char(0xd3);
  }
  ASSERT_TRUE(write_file_bytes(path, bytes));
  uint32_t w = 0, h = 0;
  EXPECT_TRUE(thumbnail_by_full_load(path, k_type_jpeg, w, h).empty());
  EXPECT_EQ(w, c.w);
  EXPECT_EQ(h, c.h);
}

INSTANTIATE_TEST_SUITE_P(Files, JpegThumbnailBroken,
                         ::testing::Values(Broken_case{"cut_shrunk", 641, 479, true},
                                           Broken_case{"marker_shrunk", 641, 479, false},
                                           Broken_case{"cut_small", 100, 50, true}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Shapes, JpegThumbnail,
    ::testing::Values(
        Shape_case{"exact_multiple", 1280, 960, 3, 0x1270e4bef90514cfull, 0x3371da7ff7194db9ull},
        Shape_case{"camera", 1500, 1000, 3, 0xa4972e6fb561cf23ull, 0x727fd2fdcdf4ea94ull},
        Shape_case{"odd", 641, 479, 3, 0x861383bd7164ed89ull, 0x819dc62ca5b1e1acull},
        Shape_case{"portrait", 479, 641, 3, 0x286e4653f19fd6b2ull, 0x924c404e12a6a957ull},
        Shape_case{"tall_thin", 7, 900, 3, 0x6bec05a15936209aull, 0x7de21dd655e72d1bull},
        Shape_case{"wide_flat", 1000, 3, 3, 0x428c619dc4d6ea34ull, 0xcab74ffa4d150448ull},
        Shape_case{"one_side_kept", 1000, 1, 3, 0x7e71e8ca9faa6b8dull, 0x50f34fa395d0f604ull},
        Shape_case{"smaller_than_tile", 100, 50, 3, 0x4daaa93207ce5976ull, 0xdcc858fb081fc9d0ull},
        Shape_case{"tile_sized", 128, 96, 3, 0x355a2d0acc46fc8dull, 0x9cb25ec2cebf8d90ull},
        Shape_case{"grey", 333, 250, 1, 0xabe847d0241930a1ull, 0x4631bc0291e21825ull},
        Shape_case{"cmyk", 300, 200, 4, 0x946a0a56526c00e0ull, 0x5236644786d80410ull}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

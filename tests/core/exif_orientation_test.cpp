// Photos stored turned, with an EXIF Orientation: every code loads upright, in the full
// load, the header size, the tile's thumbnail (full load and embedded) and a save.
#include "core/exif_orientation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/exif_thumbnail.h"
#include "core/hdr_image.h"
#include "core/header_probe.h"
#include "core/image_load.h"
#include "core/image_save.h"
#include "core/thumbnail_pixels.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/image_compare.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/oriented_jpeg.h"
#include "tests/support/temp_dir.h"

namespace {

Pixel_at image_pixels(const Hdr_image& image) {
  return [&image](uint32_t x, uint32_t y, int c) { return double(image(int(x), int(y), 0, c)); };
}

Pixel_at plane_pixels(const Thumbnail_planes& planes) {
  return [&planes](uint32_t x, uint32_t y, int c) {
    return double(planes.data[(size_t(c) * planes.height + y) * planes.width + x]);
  };
}

class Oriented_jpeg : public ::testing::TestWithParam<int> {
 protected:
  std::string write(bool thumbnail = false) {
    const std::string path = m_dir.file("photo.jpg");
    write_oriented_jpeg(path, GetParam(), thumbnail);
    return path;
  }
  Temp_dir m_dir;
};

TEST_P(Oriented_jpeg, LoadsUprightWithTheShownSize) {
  const std::string path = write();
  Hdr_image image;
  load_image(image, path, k_type_jpeg);
  EXPECT_TRUE(
      shows_pattern(uint32_t(image.width()), uint32_t(image.height()), image_pixels(image)));
  EXPECT_EQ(image.width(), int(k_pattern_w));
  uint32_t w = 0, h = 0;
  read_jpeg_header(path, w, h);
  EXPECT_EQ(w, k_pattern_w);
  EXPECT_EQ(h, k_pattern_h);
}

TEST_P(Oriented_jpeg, ThumbnailOfTheFullLoadIsUpright) {
  const std::string path = write();
  uint32_t w = 0, h = 0;
  const Thumbnail_planes planes = thumbnail_by_full_load(path, k_type_jpeg, w, h);
  EXPECT_EQ(w, k_pattern_w);
  EXPECT_EQ(h, k_pattern_h);
  EXPECT_EQ(planes.width, 128u);
  EXPECT_TRUE(shows_pattern(planes.width, planes.height, plane_pixels(planes)));
}

TEST_P(Oriented_jpeg, EmbeddedThumbnailIsUpright) {
  const std::string path = write(true);
  Thumbnail_planes planes;
  Exif_record exif;
  ASSERT_TRUE(load_exif_thumbnail(path, planes, exif));
  EXPECT_EQ(exif_orientation(exif.get()), uint32_t(GetParam()));
  EXPECT_EQ(planes.width, 128u);
  EXPECT_TRUE(shows_pattern(planes.width, planes.height, plane_pixels(planes)));
}

// Saved as shown: the carried EXIF block says Orientation 1, so a reload gives the same
// upright picture, under a new name and over the file itself.
TEST_P(Oriented_jpeg, SaveThenReloadGivesTheSamePicture) {
  const std::string path = write(true);
  Hdr_image shown;
  load_image(shown, path, k_type_jpeg);
  const Hdr_image before = shown;
  Hdr_image plain = before;
  save_image_as(plain, m_dir.file("plain.jpg"), k_type_jpeg);
  load_image(plain, m_dir.file("plain.jpg"), k_type_jpeg);
  for (const std::string& target : {m_dir.file("copy.jpg"), path}) {
    SCOPED_TRACE(target);
    Hdr_image image = before;
    save_image_from(image, target, k_type_jpeg, path);
    EXPECT_EQ(exif_orientation(read_exif_record(target).get()), 1u);
    Hdr_image again;
    load_image(again, target, k_type_jpeg);
    ASSERT_EQ(again.width(), before.width());
    ASSERT_EQ(again.height(), before.height());
    // Exactly what the same pixels give when written without any EXIF block.
    EXPECT_TRUE(images_match(plain, again));
    EXPECT_TRUE(
        shows_pattern(uint32_t(again.width()), uint32_t(again.height()), image_pixels(again)));
  }
}

INSTANTIATE_TEST_SUITE_P(Codes, Oriented_jpeg, ::testing::Range(1, 9));

// A grey photo turned either way (rows kept, or rows become columns) fills all three planes
// upright with its one sample.
TEST(ExifOrientation, GreyPhotoFillsAllThreePlanesUpright) {
  Temp_dir dir;
  for (const int code : {3, 6, 7}) {
    SCOPED_TRACE(code);
    const bool swapped = code >= 5;
    const uint32_t sw = swapped ? k_pattern_h : k_pattern_w,
                   sh = swapped ? k_pattern_w : k_pattern_h;
    std::vector<uint8_t> grey(size_t(sw) * sh);
    for (uint32_t y = 0; y < k_pattern_h; ++y)
      for (uint32_t x = 0; x < k_pattern_w; ++x) {
        uint32_t sx = 0, sy = 0;
        stored_position(code, x, y, sw, sh, sx, sy);
        grey[size_t(sy) * sw + sx] = pattern_colour(x, y)[0];
      }
    const std::string path = dir.file("grey.jpg");
    write_jpeg(path, sw, sh, 1, grey.data(), 100);
    ASSERT_TRUE(write_file_bytes(
        path,
        with_leading_segment(read_file_bytes(path), exif_app1_segment("A", "B", {}, true, code))));
    Hdr_image image;
    load_image(image, path, k_type_jpeg);
    ASSERT_EQ(image.width(), int(k_pattern_w));
    for (int c = 0; c < 3; ++c)
      EXPECT_TRUE(shows_pattern(k_pattern_w, k_pattern_h,
                                [&image, c](uint32_t x, uint32_t y, int ch) {
                                  // Every plane holds the red of the pattern.
                                  return ch == 0 ? double(image(int(x), int(y), 0, c))
                                                 : double(pattern_colour(x, y)[ch]);
                                }))
          << "plane " << c;
  }
}

// Values that are no Orientation code, and files without the tag, count as stored upright.
TEST(ExifOrientation, MissingOrInvalidTagIsNormal) {
  Temp_dir dir;
  EXPECT_EQ(exif_orientation(nullptr), 1u);
  for (const int code : {0, 9, 300}) {
    SCOPED_TRACE(code);
    const std::string path = dir.file("odd.jpg");
    write_oriented_jpeg(path, 1);
    const std::string bytes = read_file_bytes(path);
    const std::string block = exif_app1_segment("Phone", "Odd", {}, code == 9, code);
    ASSERT_TRUE(write_file_bytes(path, with_leading_segment(bytes, block)));
    EXPECT_EQ(exif_orientation(read_exif_record(path).get()), 1u);
    Hdr_image image;
    load_image(image, path, k_type_jpeg);
    EXPECT_TRUE(
        shows_pattern(uint32_t(image.width()), uint32_t(image.height()), image_pixels(image)));
  }
}

}  // namespace

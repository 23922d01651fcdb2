// Embedded EXIF thumbnails: fitted from memory, grey ones expanded, corrupt ones refused.
#include <gtest/gtest.h>

#include "core/exif_thumbnail.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"
#include "tests/support/thumbnail_files.h"

namespace {

class Exif_thumbnail : public ::testing::Test {
 protected:
  std::string file(const std::string& name, const std::string& bytes) {
    const std::string path = m_dir.file(name);
    EXPECT_TRUE(write_file_bytes(path, bytes));
    return path;
  }
  Temp_dir m_dir;
};

TEST_F(Exif_thumbnail, EmbeddedThumbnailIsFittedWithoutTheMainImage) {
  // The main image is corrupt past its header: only the embedded thumbnail can show.
  std::string main = solid_jpeg(640, 480, 10, 10, 10);
  main.resize(main.size() / 2);
  const std::string path =
      file("a.jpg", with_exif_thumbnail(main, solid_jpeg(160, 120, 250, 20, 30)));
  Thumbnail_planes out;
  Exif_record exif;
  ASSERT_TRUE(load_exif_thumbnail(path, out, exif));
  EXPECT_NE(exif, nullptr);
  EXPECT_EQ(out.width, 128u);
  EXPECT_EQ(out.height, 96u);
  const size_t n = 128 * 96;
  EXPECT_NEAR(out.data[n / 2], 250, 6);
  EXPECT_NEAR(out.data[n + n / 2], 20, 6);
  EXPECT_NEAR(out.data[2 * n + n / 2], 30, 6);
}

TEST_F(Exif_thumbnail, GreyThumbnailFillsAllThreePlanes) {
  const std::string path = file(
      "g.jpg", with_exif_thumbnail(solid_jpeg(64, 64, 0, 0, 0), solid_jpeg(80, 60, 90, 0, 0, 1)));
  Thumbnail_planes out;
  Exif_record exif;
  ASSERT_TRUE(load_exif_thumbnail(path, out, exif));
  ASSERT_EQ(out.data.size(), size_t(out.width) * out.height * 3);
  const size_t n = size_t(out.width) * out.height;
  EXPECT_NEAR(out.data[0], 90, 3);
  EXPECT_EQ(out.data[0], out.data[n]);
  EXPECT_EQ(out.data[0], out.data[2 * n]);
}

TEST_F(Exif_thumbnail, CorruptOrMissingThumbnailGivesNoneButKeepsTheRecord) {
  std::string broken = solid_jpeg(160, 120, 1, 2, 3);
  broken.resize(40);
  const std::string corrupt =
      file("c.jpg", with_exif_thumbnail(solid_jpeg(64, 48, 0, 0, 0), broken));
  Thumbnail_planes out;
  Exif_record exif;
  EXPECT_FALSE(load_exif_thumbnail(corrupt, out, exif));
  EXPECT_NE(exif, nullptr);
  EXPECT_TRUE(out.empty());

  const std::string plain = file("p.jpg", solid_jpeg(64, 48, 0, 0, 0));
  EXPECT_FALSE(load_exif_thumbnail(plain, out, exif));
  EXPECT_EQ(exif, nullptr);  // the earlier record was released
  EXPECT_FALSE(load_exif_thumbnail(m_dir.file("missing.jpg"), out, exif));
}

// An embedded thumbnail cut to half decodes with libjpeg's warning only: no image, and
// the tile goes on to the cache and the full load.
TEST_F(Exif_thumbnail, EmbeddedThumbnailCutToHalfGivesNoImage) {
  const std::string thumbnail = solid_jpeg(160, 120, 200, 100, 50);
  const std::string half = thumbnail.substr(0, thumbnail.size() / 2);
  std::vector<uint8_t> rgb;
  uint32_t w = 0, h = 0;
  EXPECT_FALSE(decode_jpeg_rgb_memory(reinterpret_cast<const uint8_t*>(half.data()), half.size(),
                                      rgb, w, h));
  const std::string path = file("cut.jpg", with_exif_thumbnail(solid_jpeg(64, 48, 0, 0, 0), half));
  Thumbnail_planes out;
  Exif_record exif;
  EXPECT_FALSE(load_exif_thumbnail(path, out, exif));
  EXPECT_TRUE(out.empty());
  const std::string whole_path =
      file("whole.jpg", with_exif_thumbnail(solid_jpeg(64, 48, 0, 0, 0), thumbnail));
  EXPECT_TRUE(load_exif_thumbnail(whole_path, out, exif));
}

// Cut inside its scan data, a textured thumbnail gets as far as libjpeg's warning (a cut in
// its header, or in the few data bytes of a flat picture, fails before): no image.
TEST_F(Exif_thumbnail, EmbeddedThumbnailCutInsideItsScanGivesNoImage) {
  write_textured_jpeg(m_dir.file("thumbnail.jpg"), 160, 120, 3);
  const std::string thumbnail = read_file_bytes(m_dir.file("thumbnail.jpg"));
  const std::string cut = cut_in_scan(thumbnail);
  ASSERT_LT(cut.size(), thumbnail.size());
  // libjpeg decodes the cut thumbnail to its end, with its grey fill.
  std::vector<uint8_t> rgb;
  uint32_t w = 0, h = 0;
  EXPECT_FALSE(
      decode_jpeg_rgb_memory(reinterpret_cast<const uint8_t*>(cut.data()), cut.size(), rgb, w, h));
  Thumbnail_planes out;
  Exif_record exif;
  const std::string path = file("cut.jpg", with_exif_thumbnail(solid_jpeg(64, 48, 0, 0, 0), cut));
  EXPECT_FALSE(load_exif_thumbnail(path, out, exif));
  EXPECT_TRUE(out.empty());
  const std::string whole_path =
      file("whole.jpg", with_exif_thumbnail(solid_jpeg(64, 48, 0, 0, 0), thumbnail));
  EXPECT_TRUE(load_exif_thumbnail(whole_path, out, exif));
  EXPECT_EQ(out.width, 128u);
}

TEST(DecodeJpegMemory, RefusesGarbageAndOversizedData) {
  std::vector<uint8_t> rgb;
  uint32_t w = 0, h = 0;
  const std::string garbage(100, '\x55');
  EXPECT_FALSE(decode_jpeg_rgb_memory(reinterpret_cast<const uint8_t*>(garbage.data()),
                                      garbage.size(), rgb, w, h));
  const std::string big = solid_jpeg(300, 200, 1, 2, 3);
  EXPECT_FALSE(decode_jpeg_rgb_memory(reinterpret_cast<const uint8_t*>(big.data()), big.size(), rgb,
                                      w, h, 300 * 200 - 1));
  ASSERT_TRUE(decode_jpeg_rgb_memory(reinterpret_cast<const uint8_t*>(big.data()), big.size(), rgb,
                                     w, h, 300 * 200));
  EXPECT_EQ(w, 300u);
  EXPECT_EQ(h, 200u);
  EXPECT_EQ(rgb.size(), 300u * 200u * 3u);
}

}  // namespace

#include "core/jpeg_thumb.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/image_errors.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<unsigned char> gradient(uint32_t w, uint32_t h) {
  std::vector<unsigned char> rgb(size_t(w) * h * 3);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      unsigned char* p = &rgb[(size_t(y) * w + x) * 3];
      p[0] = (unsigned char)(x * 255 / (w - 1));
      p[1] = (unsigned char)(y * 255 / (h - 1));
      p[2] = 90;
    }
  return rgb;
}

// A CMYK JPEG: four components per pixel, which must not reach a three-byte row buffer.
void write_cmyk_jpeg(const std::string& path, uint32_t w, uint32_t h) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(size_t(w) * 4, 77);
  while (cinfo.next_scanline < h) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(f);
}

TEST(JpegThumb, WriteThenReadGivesSizeAndPixels) {
  Temp_dir dir;
  const uint32_t w = 64, h = 48;
  const std::vector<unsigned char> rgb = gradient(w, h);
  write_jpeg(dir.file("t.jpg"), rgb.data(), w, h);
  uint32_t rw = 0, rh = 0, channels = 0;
  Rgb_bytes back = read_jpeg_rgb(dir.file("t.jpg"), rw, rh, channels);
  ASSERT_TRUE(back);
  EXPECT_EQ(rw, w);
  EXPECT_EQ(rh, h);
  EXPECT_EQ(channels, 3u);
  double err = 0;
  for (size_t i = 0; i < rgb.size(); ++i) err += std::abs(int(back[i]) - int(rgb[i]));
  EXPECT_LT(err / rgb.size(), 3.0) << "quality 90 keeps a smooth gradient close";
  // Baseline (SOF0) as forced.
  const std::string bytes = read_file_bytes(dir.file("t.jpg"));
  EXPECT_NE(bytes.find("\xff\xc0"), std::string::npos);
}

TEST(JpegThumb, ReplacesAnOldCacheFile) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("t.jpg"), "stale"));
  const std::vector<unsigned char> rgb = gradient(8, 8);
  write_jpeg(dir.file("t.jpg"), rgb.data(), 8, 8);
  EXPECT_EQ(read_file_bytes(dir.file("t.jpg")).substr(0, 2), "\xff\xd8");
}

TEST(JpegThumb, GreyJpegIsExpandedToRgb) {
  Temp_dir dir;
  std::vector<uint8_t> grey(20 * 10, 128);
  write_jpeg(dir.file("g.jpg"), 20, 10, 1, grey.data());
  uint32_t w = 0, h = 0, c = 0;
  Rgb_bytes back = read_jpeg_rgb(dir.file("g.jpg"), w, h, c);
  ASSERT_TRUE(back);
  EXPECT_EQ(c, 3u);
  EXPECT_NEAR(back[3 * 55 + 0], 128, 2);
  EXPECT_EQ(back[3 * 55 + 0], back[3 * 55 + 2]);
}

TEST(JpegThumb, UnusableFilesGiveNullSilently) {
  Temp_dir dir;
  write_cmyk_jpeg(dir.file("cmyk.jpg"), 16, 16);
  std::vector<unsigned char> rgb = gradient(32, 32);
  write_jpeg(dir.file("ok.jpg"), rgb.data(), 32, 32);
  const std::string ok = read_file_bytes(dir.file("ok.jpg"));
  ASSERT_TRUE(write_file_bytes(dir.file("cut.jpg"), ok.substr(0, 200)));
  ASSERT_TRUE(write_file_bytes(dir.file("junk.jpg"), "this is no jpeg"));
  ASSERT_TRUE(write_file_bytes(dir.file("empty.jpg"), ""));
  for (const char* name : {"missing.jpg", "cmyk.jpg", "junk.jpg", "empty.jpg"}) {
    uint32_t w = 7, h = 7, c = 7;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    Rgb_bytes back = read_jpeg_rgb(dir.file(name), w, h, c);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
    EXPECT_FALSE(back) << name;
    EXPECT_EQ(w, 7u) << name;
  }
  // A truncated file is refused (never libjpeg's fill of the missing rows), silently.
  uint32_t w = 0, h = 0, c = 0;
  testing::internal::CaptureStderr();
  Rgb_bytes cut = read_jpeg_rgb(dir.file("cut.jpg"), w, h, c);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(cut);
}

// A cache file cut to half, or with a stray marker in its data, decodes with warnings only:
// it gives no image, so that the tile makes its thumbnail afresh.
TEST(JpegThumb, WrittenThumbnailCutToHalfOrCorruptGivesNoImage) {
  Temp_dir dir;
  std::vector<unsigned char> rgb = gradient(128, 96);
  write_jpeg(dir.file("t.jpg"), rgb.data(), 128, 96);
  const std::string whole = read_file_bytes(dir.file("t.jpg"));
  std::string marked = whole;
  marked[whole.size() / 2] = char(0xff);
  marked[whole.size() / 2 + 1] = char(0xd5);
  for (const std::string& bytes : {whole.substr(0, whole.size() / 2), marked}) {
    ASSERT_TRUE(write_file_bytes(dir.file("bad.jpg"), bytes));
    uint32_t w = 0, h = 0, c = 0;
    EXPECT_FALSE(read_jpeg_rgb(dir.file("bad.jpg"), w, h, c));
  }
  uint32_t w = 0, h = 0, c = 0;
  EXPECT_TRUE(read_jpeg_rgb(dir.file("t.jpg"), w, h, c));
}

TEST(JpegThumb, FailedEncodeLeavesNoFile) {
  Temp_dir dir;
  const unsigned char pixel[3] = {1, 2, 3};
  testing::internal::CaptureStderr();
  write_jpeg(dir.file("zero.jpg"), pixel, 0, 0);  // libjpeg refuses an empty image
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_NE(access(dir.file("zero.jpg").c_str(), F_OK), 0);
  // An old cache file survives a failed rewrite.
  ASSERT_TRUE(write_file_bytes(dir.file("old.jpg"), "old"));
  write_jpeg(dir.file("old.jpg"), pixel, 0, 1);
  EXPECT_EQ(read_file_bytes(dir.file("old.jpg")), "old");
}

TEST(JpegThumb, UncreatableFileThrows) {
  Temp_dir dir;
  const unsigned char pixel[3] = {1, 2, 3};
  try {
    write_jpeg(dir.file("none/t.jpg"), pixel, 1, 1);
    FAIL() << "no exception";
  } catch (const Write_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot write jpeg image to file: " + dir.file("none/t.jpg"));
  }
}

}  // namespace

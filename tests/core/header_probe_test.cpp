#include "core/header_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/image_errors.h"
#include "tests/support/exr_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/png_fixture.h"
#include "tests/support/rgbe_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

using Probe = void (*)(const std::string&, uint32_t&, uint32_t&);

// Runs the probe and returns the Read_error text ("" when it succeeds).
std::string probe_error(Probe probe, const std::string& path) {
  uint32_t w = 0, h = 0;
  try {
    probe(path, w, h);
  } catch (const Read_error& e) {
    return e.what();
  }
  return "";
}

TEST(ReadJpegHeader, SizeEvenWithTruncatedData) {
  Temp_dir dir;
  std::vector<uint8_t> rgb(300 * 200 * 3, 90);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 7);
  write_jpeg(dir.file("a.jpg"), 300, 200, 3, rgb.data());
  uint32_t w = 0, h = 0;
  read_jpeg_header(dir.file("a.jpg"), w, h);
  EXPECT_EQ(w, 300u);
  EXPECT_EQ(h, 200u);
  const std::string bytes = read_file_bytes(dir.file("a.jpg"));
  const size_t scan = bytes.find("\xff\xda");
  ASSERT_NE(scan, std::string::npos);
  ASSERT_TRUE(write_file_bytes(dir.file("cut.jpg"), bytes.substr(0, scan + 40)));
  w = h = 0;
  testing::internal::CaptureStderr();
  read_jpeg_header(dir.file("cut.jpg"), w, h);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(w, 300u);
  EXPECT_EQ(h, 200u);
}

TEST(ReadJpegHeader, BrokenFilesThrow) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("junk.jpg"), "no jpeg here"));
  ASSERT_TRUE(write_file_bytes(dir.file("soi.jpg"), std::string("\xff\xd8\xff", 3)));
  for (const char* name : {"missing.jpg", "junk.jpg", "soi.jpg"}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(probe_error(read_jpeg_header, dir.file(name)),
              "Cannot read jpeg header from file: " + dir.file(name));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "libjpeg stays silent";
  }
}

TEST(ReadExrHeader, DataWindowSize) {
  Temp_dir dir;
  std::vector<float> plane(100 * 50, 1.f);
  Exr_layout layout;
  layout.width = 100;
  layout.height = 50;
  layout.origin_x = 10;
  layout.origin_y = 20;
  write_exr(dir.file("a.exr"), layout,
            {{"R", plane.data()}, {"G", plane.data()}, {"B", plane.data()}});
  uint32_t w = 0, h = 0;
  read_exr_header(dir.file("a.exr"), w, h);
  EXPECT_EQ(w, 100u);
  EXPECT_EQ(h, 50u);
}

TEST(ReadExrHeader, BrokenFilesThrow) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("junk.exr"), "not an openexr file at all"));
  for (const char* name : {"missing.exr", "junk.exr"})
    EXPECT_EQ(probe_error(read_exr_header, dir.file(name)),
              "Cannot read openexr header from file: " + dir.file(name));
}

TEST(ReadPngHeader, Size) {
  Temp_dir dir;
  Png_layout layout;
  layout.width = 37;
  layout.height = 11;
  std::vector<uint8_t> rgb(37 * 11 * 3, 5);
  write_png(dir.file("a.png"), layout, rgb.data());
  uint32_t w = 0, h = 0;
  read_png_header(dir.file("a.png"), w, h);
  EXPECT_EQ(w, 37u);
  EXPECT_EQ(h, 11u);
}

TEST(ReadPngHeader, BrokenFilesGiveTheirTexts) {
  Temp_dir dir;
  std::vector<uint8_t> rgb(4 * 4 * 3, 9);
  write_jpeg(dir.file("jpeg.png"), 4, 4, 3, rgb.data());
  ASSERT_TRUE(write_file_bytes(dir.file("short.png"), "\x89PNG"));
  // The right signature followed by garbage instead of an IHDR chunk.
  ASSERT_TRUE(write_file_bytes(dir.file("corrupt.png"),
                               std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dJUNKJUNKJUNKJUNKJUNK", 33)));
  EXPECT_EQ(probe_error(read_png_header, dir.file("missing.png")),
            "Cannot read PNG header from file: " + dir.file("missing.png"));
  EXPECT_EQ(probe_error(read_png_header, dir.file("short.png")),
            "Cannot read the PNG signature from file: " + dir.file("short.png"));
  EXPECT_EQ(probe_error(read_png_header, dir.file("jpeg.png")),
            "Incorrect PNG signature: " + dir.file("jpeg.png"));
  testing::internal::CaptureStderr();  // libpng's default handler prints its error
  EXPECT_EQ(probe_error(read_png_header, dir.file("corrupt.png")),
            "Failed to read PNG file: " + dir.file("corrupt.png"));
  testing::internal::GetCapturedStderr();
}

TEST(ReadRgbeHeader, SizeAndBrokenFiles) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(
      dir.file("a.hdr"),
      rgbe_file(3, 2, std::vector<Rgbe_pixel>(6, Rgbe_pixel{1, 1, 1, 128}), false)));
  uint32_t w = 0, h = 0;
  read_rgbe_header(dir.file("a.hdr"), w, h);
  EXPECT_EQ(w, 3u);
  EXPECT_EQ(h, 2u);
  ASSERT_TRUE(write_file_bytes(dir.file("up.hdr"), rgbe_header("+Y 2 +X 3")));
  ASSERT_TRUE(write_file_bytes(dir.file("cut.hdr"), "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n"));
  testing::internal::CaptureStderr();
  for (const char* name : {"missing.hdr", "up.hdr", "cut.hdr"})
    EXPECT_EQ(probe_error(read_rgbe_header, dir.file(name)),
              "Cannot read rgbe header from file: " + dir.file(name));
  testing::internal::GetCapturedStderr();
}

}  // namespace

#include "core/image_load.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <limits>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/png_fixture.h"
#include "tests/support/rgbe_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint32_t k_w = 9, k_h = 6;

// Sample s of pixel i for a PNG with the given channel count and range.
uint32_t png_sample(uint32_t i, int s, uint32_t max) { return (i * 37 + s * 101) % (max + 1); }

struct Png_case {
  const char* name;
  int channels, bits;
};

class PngLoad : public ::testing::TestWithParam<Png_case> {};

TEST_P(PngLoad, ColoursArriveAlphaDropped) {
  const Png_case& c = GetParam();
  Temp_dir dir;
  const uint32_t max = c.bits == 16 ? 65535 : 255;
  std::vector<uint8_t> bytes8;
  std::vector<uint16_t> bytes16;
  for (uint32_t i = 0; i < k_w * k_h; ++i)
    for (int s = 0; s < c.channels; ++s) {
      // Pixel 0 is full scale in every sample: the top of the range must map to 255.
      const uint32_t v = i == 0 ? max : png_sample(i, s, max);
      bytes8.push_back(uint8_t(v));
      bytes16.push_back(uint16_t(v));
    }
  const std::string path = dir.file("a.png");
  Png_layout l;
  l.width = k_w;
  l.height = k_h;
  l.channels = c.channels;
  l.bits = c.bits;
  write_png(path, l, c.bits == 16 ? static_cast<const void*>(bytes16.data()) : bytes8.data());

  const Hdr_image img(path);
  EXPECT_EQ(img.type, uint32_t(k_type_png));
  ASSERT_EQ(img.width(), int(k_w));
  ASSERT_EQ(img.spectrum(), 3);
  const uint64_t n = img.plane_size();
  for (uint32_t i = 0; i < n; ++i)
    for (int ch = 0; ch < 3; ++ch) {
      const int s = c.channels < 3 ? 0 : ch;
      const uint32_t v = i == 0 ? max : png_sample(i, s, max);
      const float expected = c.bits == 16 ? float(v) / 257.f : float(v);
      ASSERT_FLOAT_EQ(img.data()[i + ch * n], expected) << i << " " << ch;
    }
  EXPECT_EQ(img.max(), 255.f);
}

INSTANTIATE_TEST_SUITE_P(All, PngLoad,
                         ::testing::Values(Png_case{"grey", 1, 8}, Png_case{"grey_alpha", 2, 8},
                                           Png_case{"rgb", 3, 8}, Png_case{"rgba", 4, 8},
                                           Png_case{"grey16", 1, 16}, Png_case{"rgb16", 3, 16},
                                           Png_case{"rgba16", 4, 16}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngLoad, PaletteImage) {
  Temp_dir dir;
  Png_layout l;
  l.width = 4;
  l.height = 1;
  l.palette = {10, 20, 30, 200, 100, 0};
  const uint8_t index[] = {0, 1, 1, 0};
  const std::string path = dir.file("p.png");
  write_png(path, l, index);
  const Hdr_image img(path);
  EXPECT_EQ(img(1, 0, 0, 0), 200.f);
  EXPECT_EQ(img(1, 0, 0, 1), 100.f);
  EXPECT_EQ(img(3, 0, 0, 2), 30.f);
}

// Adam7 stores the pixels in seven passes of scattered positions; read as one plain pass
// they would land in the wrong places.
TEST(PngLoad, InterlacedPictureLoadsAsTheSamePictureWrittenPlain) {
  struct Layout_case {
    int channels, bits;
  };
  for (const Layout_case c : {Layout_case{3, 8}, Layout_case{1, 16}, Layout_case{4, 8}}) {
    Temp_dir dir;
    const uint32_t w = 13, h = 11;  // not a multiple of the 8 x 8 pass grid
    const uint32_t max = c.bits == 16 ? 65535 : 255;
    std::vector<uint8_t> bytes8;
    std::vector<uint16_t> bytes16;
    for (uint32_t i = 0; i < w * h; ++i)
      for (int s = 0; s < c.channels; ++s) {
        bytes8.push_back(uint8_t(png_sample(i, s, max)));
        bytes16.push_back(uint16_t(png_sample(i, s, max)));
      }
    const void* data = c.bits == 16 ? static_cast<const void*>(bytes16.data()) : bytes8.data();
    Png_layout l;
    l.width = w;
    l.height = h;
    l.channels = c.channels;
    l.bits = c.bits;
    write_png(dir.file("plain.png"), l, data);
    l.interlaced = true;
    write_png(dir.file("adam7.png"), l, data);
    ASSERT_NE(read_file_bytes(dir.file("plain.png")), read_file_bytes(dir.file("adam7.png")));

    const Hdr_image plain(dir.file("plain.png"));
    const Hdr_image adam7(dir.file("adam7.png"));
    ASSERT_EQ(adam7.width(), int(w));
    ASSERT_EQ(adam7.height(), int(h));
    ASSERT_EQ(adam7.spectrum(), 3);
    ASSERT_EQ(plain.size(), adam7.size());
    for (uint64_t i = 0; i < plain.size(); ++i)
      ASSERT_EQ(adam7.data()[i], plain.data()[i]) << c.channels << "x" << c.bits << " at " << i;
  }
}

struct Low_bit_case {
  const char* name;
  int bits;
  float step;  // 255 / (2^bits - 1)
};

class PngLowBitGrey : public ::testing::TestWithParam<Low_bit_case> {};

// Grey samples of fewer than 8 bits are scaled to the full byte range, every level.
TEST_P(PngLowBitGrey, LevelsSpreadOverTheByteRangeInAllChannels) {
  const Low_bit_case& c = GetParam();
  Temp_dir dir;
  const uint32_t levels = 1u << c.bits, w = 5, h = 4;
  std::vector<uint8_t> samples;
  for (uint32_t i = 0; i < w * h; ++i) samples.push_back(uint8_t((i * 7) % levels));
  Png_layout l;
  l.width = w;
  l.height = h;
  l.channels = 1;
  l.bits = c.bits;
  write_png(dir.file("g.png"), l, samples.data());
  const Hdr_image img(dir.file("g.png"));
  ASSERT_EQ(img.width(), int(w));
  ASSERT_EQ(img.height(), int(h));
  ASSERT_EQ(img.spectrum(), 3);
  for (uint32_t i = 0; i < w * h; ++i)
    for (int ch = 0; ch < 3; ++ch)
      ASSERT_EQ(img(i % w, i / w, 0, ch), float(samples[i]) * c.step) << i << " channel " << ch;
  EXPECT_EQ(img.max(), 255.f);
}

INSTANTIATE_TEST_SUITE_P(All, PngLowBitGrey,
                         ::testing::Values(Low_bit_case{"one_bit", 1, 255.f},   // 0 / 255
                                           Low_bit_case{"two_bit", 2, 85.f},    // 0/85/170/255
                                           Low_bit_case{"four_bit", 4, 17.f}),  // steps of 17
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegLoad, GreyBecomesThreeEqualChannels) {
  Temp_dir dir;
  std::vector<uint8_t> grey(k_w * k_h);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = uint8_t(i * 4);
  const std::string path = dir.file("g.JPG");
  write_jpeg(path, k_w, k_h, 1, grey.data(), 100);
  const Hdr_image img(path);
  EXPECT_EQ(img.type, uint32_t(k_type_jpeg));
  ASSERT_EQ(img.spectrum(), 3);
  const uint64_t n = img.plane_size();
  for (uint64_t i = 0; i < n; ++i) {
    ASSERT_NEAR(img.data()[i], grey[i], 3.0) << i;
    ASSERT_EQ(img.data()[i], img.data()[i + n]);
    ASSERT_EQ(img.data()[i], img.data()[i + 2 * n]);
  }
}

TEST(JpegLoad, RgbValues) {
  Temp_dir dir;
  std::vector<uint8_t> rgb;
  for (uint32_t i = 0; i < k_w * k_h; ++i) rgb.insert(rgb.end(), {200, 40, 90});
  const std::string path = dir.file("c.jpeg");
  write_jpeg(path, k_w, k_h, 3, rgb.data(), 100);
  const Hdr_image img(path, k_type_jpeg);
  EXPECT_NEAR(img(4, 3, 0, 0), 200.f, 3.f);
  EXPECT_NEAR(img(4, 3, 0, 1), 40.f, 3.f);
  EXPECT_NEAR(img(4, 3, 0, 2), 90.f, 3.f);
}

// A 1x1 file whose header then claims an absurd size; refused before any allocation.
TEST(LoadLimits, HugeDeclaredPngSize) {
  Temp_dir dir;
  const std::string path = dir.file("huge.png");
  const uint8_t px[] = {1, 2, 3};
  Png_layout l;
  l.width = 1;
  l.height = 1;
  write_png(path, l, px);
  std::string bytes = read_file_bytes(path);
  bytes.replace(16, 8, rgbe_raw({0, 1, 0, 0, 0, 1, 0, 0}));  // 65536 x 65536 in IHDR
  // A valid chunk checksum, so that only the size is wrong.
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + 12), 17);
  bytes.replace(
      29, 4, rgbe_raw({int(crc >> 24), int(crc >> 16 & 255), int(crc >> 8 & 255), int(crc & 255)}));
  write_file_bytes(path, bytes);
  try {
    Hdr_image img(path);
    ADD_FAILURE();
  } catch (const Read_error& e) {
    EXPECT_EQ(std::string(e.what()), "Image too large in file: " + path);
  }
}

TEST(LoadLimits, HugeDeclaredJpegSize) {
  Temp_dir dir;
  const std::string path = dir.file("huge.jpg");
  const uint8_t px[] = {1, 2, 3};
  write_jpeg(path, 1, 1, 3, px);
  std::string bytes = read_file_bytes(path);
  const size_t sof = bytes.find("\xff\xc0");
  ASSERT_NE(sof, std::string::npos);
  bytes.replace(sof + 5, 4, rgbe_raw({0xfd, 0xe8, 0xfd, 0xe8}));  // 65000 x 65000
  write_file_bytes(path, bytes);
  try {
    Hdr_image img(path);
    ADD_FAILURE();
  } catch (const Read_error& e) {
    EXPECT_EQ(std::string(e.what()), "Image too large in file: " + path);
  }
}

TEST(LoadDispatch, CodesWithoutReaderAreUnsupported) {
  Temp_dir dir;
  const std::string path = dir.file("a.hdr");
  write_file_bytes(path, rgbe_file(1, 1, {{128, 128, 128, 129}}, false));
  for (uint32_t code : {4u, 9u, 10u, 11u, 0xffffffffu}) {
    try {
      Hdr_image img;
      load_image(img, path, code);
      ADD_FAILURE() << code;
    } catch (const Read_error& e) {
      EXPECT_EQ(std::string(e.what()), "Unsupported file type: " + path);
    }
  }
}

TEST(LoadDispatch, PathConstructorsLoadAndClearStats) {
  Temp_dir dir;
  const std::string path = dir.file("a.hdr");
  write_file_bytes(path, rgbe_file(2, 1, {{128, 128, 128, 129}, {0, 0, 0, 0}}, false));
  const Hdr_image a(path);
  EXPECT_EQ(a.type, uint32_t(k_type_rgbe));
  EXPECT_EQ(a.stats.computed, 0);
  EXPECT_EQ(a(0, 0, 0, 2), 1.f);
  EXPECT_THROW(Hdr_image(dir.file("a.gif")), Read_error);
  EXPECT_THROW(Hdr_image(dir.file("missing.hdr")), Read_error);
}

TEST(LoadDispatch, BrokenPngAndJpegThrowStdExceptions) {
  Temp_dir dir;
  for (const char* name : {"bad.png", "bad.jpg"}) {
    const std::string path = dir.file(name);
    write_file_bytes(path, "definitely not an image");
    EXPECT_THROW(Hdr_image img(path), std::exception) << name;
  }
}

}  // namespace

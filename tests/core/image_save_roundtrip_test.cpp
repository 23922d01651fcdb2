// Every writer and back through the readers: exact where the format is lossless, within
// the format's precision otherwise.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/image_save.h"
#include "tests/support/image_compare.h"
#include "tests/support/temp_dir.h"

namespace {

// HDR pixels spanning 10^-decades to 10^decades, each pixel near-grey (channels within a
// factor of 2), so RGBE's shared exponent keeps every channel to its 8-bit precision.
Hdr_image hdr_picture(uint32_t w, uint32_t h, float decades = 20.f) {
  Hdr_image img(w, h, 1, 3, 0.f);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const float v = std::pow(10.f, decades * (2.f * float(x + y * w) / float(w * h) - 1.f));
      img(x, y, 0, 0) = v;
      img(x, y, 0, 1) = v * (0.5f + 0.5f * float(x) / float(w));
      img(x, y, 0, 2) = v * 0.75f;
    }
  img(0, 0, 0, 0) = img(0, 0, 0, 1) = img(0, 0, 0, 2) = 0.f;
  img.type = k_type_new_hdr;
  return img;
}

// Integer 8-bit values, smooth so that JPEG at quality 100 stays close.
Hdr_image ldr_picture(uint32_t w, uint32_t h) {
  Hdr_image img(w, h, 1, 3, 0.f);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      img(x, y, 0, 0) = float(x * 255 / (w - 1));
      img(x, y, 0, 1) = float(y * 255 / (h - 1));
      img(x, y, 0, 2) = float((x + y) * 255 / (w + h - 2));
    }
  img.type = k_type_new_ldr;
  return img;
}

// Colour that changes slowly and evenly: chroma subsampling then loses nothing.
Hdr_image smooth_picture(uint32_t w, uint32_t h) {
  Hdr_image img(w, h, 1, 3, 0.f);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) img(x, y, 0, c) = float(40 + x + 2 * y + 30 * c);
  img.type = k_type_new_ldr;
  return img;
}

enum class Picture { hdr, hdr_logluv_range, ldr, smooth };

struct Round_trip {
  const char* name;
  uint32_t type;
  const char* file;
  Picture picture;
  Compare_limits limits;
};

Hdr_image picture(Picture kind, uint32_t w, uint32_t h) {
  switch (kind) {
    case Picture::hdr:
      return hdr_picture(w, h);
    case Picture::hdr_logluv_range:
      return hdr_picture(w, h, 8.f);  // SGILOG holds 2^-30..2^30
    case Picture::ldr:
      return ldr_picture(w, h);
    case Picture::smooth:
      break;
  }
  return smooth_picture(w, h);
}

class SaveRoundTrip : public ::testing::TestWithParam<Round_trip> {};

TEST_P(SaveRoundTrip, ReadsBackWhatWasWritten) {
  const Round_trip& c = GetParam();
  Temp_dir dir;
  // Widths on both sides of the RGBE run-length limit of 8.
  for (uint32_t w : {5u, 61u}) {
    Hdr_image img = picture(c.picture, w, 9);
    const Hdr_image expected(img);
    const std::string path = dir.file(std::to_string(w) + c.file);
    save_image_as(img, path, c.type);
    EXPECT_EQ(img.type, c.type);
    Hdr_image back;
    load_image_detect_type(back, path);
    EXPECT_EQ(back.type, c.type);
    EXPECT_TRUE(images_match(expected, back, c.limits)) << "width " << w;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Writers, SaveRoundTrip,
    ::testing::Values(
        Round_trip{"OpenExr", k_type_exr, ".exr", Picture::hdr, {}},
        Round_trip{"Rgbe", k_type_rgbe, ".hdr", Picture::hdr, {0, 1.0 / 64, 0}},
        Round_trip{"TiffFloat", k_type_tiff_float, ".tif", Picture::hdr, {}},
        // LogLuv keeps luminance to 0.14%; its quantised chroma moves single RGB channels by
        // up to about 2%.
        Round_trip{"LogLuv", k_type_tiff_logluv, ".tif", Picture::hdr_logluv_range, {0, 0.03, 0}},
        Round_trip{"Png", k_type_png, ".png", Picture::ldr, {}},
        Round_trip{"Tiff8", k_type_tiff8, ".tif", Picture::ldr, {}},
        Round_trip{"Jpeg", k_type_jpeg, ".jpg", Picture::smooth, {2, 0, 0}}),
    [](const ::testing::TestParamInfo<Round_trip>& info) { return std::string(info.param.name); });

// A 8-bit writer must not convert NaN to an integer (undefined); it writes 0 instead.
class NanInEightBitFile : public ::testing::TestWithParam<uint32_t> {};

TEST_P(NanInEightBitFile, IsWrittenAsZero) {
  Temp_dir dir;
  Hdr_image img(16, 16, 1, 3, 200.f);
  img(3, 4, 0, 1) = std::numeric_limits<float>::quiet_NaN();
  const char* ext = GetParam() == k_type_png ? ".png" : GetParam() == k_type_jpeg ? ".jpg" : ".tif";
  const std::string path = dir.file(std::string("n") + ext);
  save_image_as(img, path, GetParam());
  EXPECT_TRUE(std::isnan(img(3, 4, 0, 1))) << "the caller's image keeps its NaN";
  Hdr_image back;
  load_image_detect_type(back, path);
  if (GetParam() == k_type_jpeg) {
    EXPECT_LT(back(3, 4, 0, 1), 120.f);
  } else {
    EXPECT_EQ(back(3, 4, 0, 1), 0.f);
    EXPECT_EQ(back(3, 4, 0, 0), 200.f);
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, NanInEightBitFile,
                         ::testing::Values(uint32_t(k_type_png), uint32_t(k_type_jpeg),
                                           uint32_t(k_type_tiff8)));

TEST(SaveRoundTrip, OutOfRangeValuesAreClampedInFileAndMemory) {
  Temp_dir dir;
  Hdr_image png(8, 8, 1, 3, 1000.f);
  png(1, 1, 0, 0) = -7.f;
  save_image_as(png, dir.file("a.png"), k_type_png);
  Hdr_image back_png;
  load_image_detect_type(back_png, dir.file("a.png"));
  EXPECT_EQ(back_png(0, 0, 0, 0), 255.f) << "8 bits, not 16";
  EXPECT_EQ(back_png(1, 1, 0, 0), 0.f);

  Hdr_image exr(8, 8, 1, 3, 1.f);
  exr(2, 2, 0, 2) = -3.f;
  save_image_as(exr, dir.file("a.exr"), k_type_exr);
  EXPECT_EQ(exr(2, 2, 0, 2), 0.f);
  Hdr_image back_exr;
  load_image_detect_type(back_exr, dir.file("a.exr"));
  EXPECT_EQ(back_exr(2, 2, 0, 2), 0.f);
}

TEST(SaveRoundTrip, HugeValuesSurviveRgbeInsteadOfTurningBlack) {
  Temp_dir dir;
  Hdr_image img(10, 1, 1, 3, 1.f);
  img(4, 0, 0, 0) = std::numeric_limits<float>::max();
  img(5, 0, 0, 1) = std::numeric_limits<float>::infinity();
  save_image_as(img, dir.file("big.hdr"), k_type_rgbe);
  Hdr_image back;
  load_image_detect_type(back, dir.file("big.hdr"));
  EXPECT_GT(back(4, 0, 0, 0), 1e38f);
  EXPECT_GT(back(5, 0, 0, 1), 1e38f);
  EXPECT_EQ(back(0, 0, 0, 0), 1.f);
}

TEST(SaveRoundTrip, CopyPathKeepsFileBitIdentical) {
  Temp_dir dir;
  Hdr_image img = hdr_picture(20, 10);
  save_image_as(img, dir.file("a.exr"), k_type_exr);
  const std::string bytes = read_file_bytes(dir.file("a.exr"));
  Hdr_image loaded(dir.file("a.exr"));
  save_image(loaded, dir.file("b.exr"), k_type_exr, dir.file("a.exr"), loaded.type, false);
  EXPECT_EQ(read_file_bytes(dir.file("b.exr")), bytes);
}

}  // namespace

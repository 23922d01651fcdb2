#include "core/exr_read.h"

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfOutputFile.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_load.h"
#include "tests/support/exr_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

struct Planes {
  std::vector<float> r, g, b;
};

Planes ramp(int w, int h) {
  Planes p;
  for (int i = 0; i < w * h; ++i) {
    p.r.push_back(float(i));
    p.g.push_back(float(i) * 0.5f + 0.25f);
    p.b.push_back(1000.f - float(i));
  }
  return p;
}

struct Window_case {
  const char* name;
  int origin_x, origin_y;
  bool half;
  int height = 5;             // taller than a compression block: read and clamped block by block
  bool negative_red = false;  // red written as -(i + 1): the clamp must turn it to 0
};

class ExrWindows : public ::testing::TestWithParam<Window_case> {};

TEST_P(ExrWindows, FirstPixelLandsAtOrigin) {
  const Window_case& c = GetParam();
  Temp_dir dir;
  const int w = 7, h = c.height;
  Planes p = ramp(w, h);
  if (c.negative_red)
    for (float& v : p.r) v = -(v + 1.f);
  const std::string path = dir.file("a.exr");
  write_exr(path, {w, h, c.origin_x, c.origin_y, c.half, true},
            {{"R", p.r.data()}, {"G", p.g.data()}, {"B", p.b.data()}});
  Hdr_image img;
  load_image(img, path, k_type_exr);
  ASSERT_EQ(img.width(), w);
  ASSERT_EQ(img.height(), h);
  ASSERT_EQ(img.spectrum(), 3);
  EXPECT_EQ(img.type, uint32_t(k_type_exr));
  const int n = w * h;
  for (int i = 0; i < n; ++i) {
    ASSERT_EQ(img.data()[i], c.negative_red ? 0.f : p.r[i]) << i;
    ASSERT_EQ(img.data()[i + n], p.g[i]) << i;
    ASSERT_EQ(img.data()[i + 2 * n], p.b[i]) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, ExrWindows,
    ::testing::Values(Window_case{"origin", 0, 0, false}, Window_case{"offset", 10, 20, false},
                      Window_case{"negative", -30, -4, false},
                      Window_case{"offset_half", 10, 20, true},
                      Window_case{"tall_offset", 3, -7, false, 41},
                      // The clamp counts rows from the window's top.
                      Window_case{"negative_red_below_origin", 0, 50, false, 5, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExrRead, LuminanceOnlyFileReadsBlack) {
  Temp_dir dir;
  const std::vector<float> y(12, 3.f);
  const std::string path = dir.file("y.exr");
  write_exr(path, {4, 3}, {{"Y", y.data()}});
  Hdr_image img;
  load_image(img, path, k_type_exr);
  ASSERT_EQ(img.size(), 36u);
  for (uint64_t i = 0; i < img.size(); ++i) ASSERT_EQ(img.data()[i], 0.f);
}

TEST(ExrRead, InfinityAndNegativeValuesAreClampedNanPasses) {
  Temp_dir dir;
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<float> r = {inf, -2.f, 1.f}, g = {-inf, 5.f, 1e38f},
                           b = {0.f, -0.f, std::nanf("")};
  const std::string path = dir.file("inf.exr");
  write_exr(path, {3, 1}, {{"R", r.data()}, {"G", g.data()}, {"B", b.data()}});
  Hdr_image img;
  load_image(img, path, k_type_exr);
  EXPECT_EQ(img(0, 0, 0, 0), std::numeric_limits<float>::max());
  EXPECT_EQ(img(0, 0, 0, 1), 0.f);
  EXPECT_EQ(img(1, 0, 0, 0), 0.f);
  EXPECT_EQ(img(1, 0, 0, 1), 5.f);
  EXPECT_EQ(img(2, 0, 0, 1), 1e38f);
  EXPECT_TRUE(std::isnan(img(2, 0, 0, 2)));  // NaN passes the clamp
  for (uint64_t i = 0; i < img.size(); ++i) EXPECT_FALSE(img.data()[i] < 0.f);
}

TEST(ExrRead, LibraryMessageAloneOnFailure) {
  Temp_dir dir;
  const std::string path = dir.file("none.exr");
  try {
    Hdr_image img;
    read_exr(img, path);
    ADD_FAILURE();
  } catch (const Read_error& e) {
    // The library's own message, which names the file itself.
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
  const std::string junk = dir.file("junk.exr");
  write_file_bytes(junk, "not an exr file at all");
  Hdr_image img;
  EXPECT_THROW(read_exr(img, junk), Read_error);
}

}  // namespace

namespace {

TEST(ExrLimits, HugeDataWindowIsRefusedBeforeAllocating) {
  Temp_dir dir;
  const std::string path = dir.file("huge.exr");
  {
    // A header claiming 10^10 pixels; no pixels are written.
    const Imath::Box2i window(Imath::V2i(0, 0), Imath::V2i(99999, 99999));
    Imf::Header header(window, window);
    header.compression() = Imf::ZIP_COMPRESSION;
    header.channels().insert("R", Imf::Channel(Imf::HALF));
    Imf::OutputFile out(path.c_str(), header);
  }
  try {
    Hdr_image img;
    read_exr(img, path);
    ADD_FAILURE();
  } catch (const Read_error& e) {
    EXPECT_EQ(std::string(e.what()), "Image too large in file: " + path);
  }
}

}  // namespace

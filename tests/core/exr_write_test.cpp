// OpenEXR files written with the library's thread pool: the same bytes as on one thread,
// and read back equal by the program's reader and by OpenCV's.
#include "core/exr_write.h"

#include <gtest/gtest.h>

#include <OpenEXR/ImfThreading.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <opencv2/imgcodecs.hpp>
#include <string>

#include "core/hdr_image.h"
#include "core/image_load.h"
#include "tests/support/temp_dir.h"

namespace {

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Values over many decades with per-pixel texture, over many 16-line compression blocks.
Hdr_image textured_hdr(uint32_t w, uint32_t h) {
  Hdr_image img(w, h, 1, 3, 0.f);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        const uint32_t hash = (x * 73856093u) ^ (y * 19349663u) ^ (uint32_t(c) * 83492791u);
        img(x, y, 0, c) = std::pow(10.f, float(hash % 2000) / 100.f - 10.f);
      }
  img.type = k_type_new_hdr;
  return img;
}

class ExrThreads : public ::testing::Test {
 protected:
  void TearDown() override { Imf::setGlobalThreadCount(0); }
};

TEST_F(ExrThreads, ThreadedFileHasTheOneThreadBytesAndReadsBackEqual) {
  Temp_dir dir;
  const Hdr_image img = textured_hdr(301, 203);
  Imf::setGlobalThreadCount(0);
  write_exr(img, dir.file("one.exr"));
  start_exr_threads();
  Imf::setGlobalThreadCount(std::max(4, Imf::globalThreadCount()));
  write_exr(img, dir.file("pool.exr"));
  EXPECT_EQ(file_bytes(dir.file("pool.exr")), file_bytes(dir.file("one.exr")));

  Hdr_image back;
  load_image(back, dir.file("pool.exr"), k_type_exr);
  ASSERT_EQ(back.width(), img.width());
  ASSERT_EQ(back.height(), img.height());
  for (uint32_t y = 0; y < 203; ++y)
    for (uint32_t x = 0; x < 301; ++x)
      for (int c = 0; c < 3; ++c) ASSERT_EQ(back(x, y, 0, c), img(x, y, 0, c)) << x << "," << y;

  // OpenCV reads OpenEXR only when asked to through its environment switch.
  setenv("OPENCV_IO_ENABLE_OPENEXR", "1", 1);
  const cv::Mat cv_back = cv::imread(dir.file("pool.exr"), cv::IMREAD_UNCHANGED);
  if (cv_back.empty()) GTEST_SKIP() << "this OpenCV build reads no OpenEXR";
  ASSERT_EQ(cv_back.type(), CV_32FC3);
  for (int y = 0; y < 203; ++y)
    for (int x = 0; x < 301; ++x) {
      const cv::Vec3f bgr = cv_back.at<cv::Vec3f>(y, x);
      ASSERT_EQ(bgr[2], img(x, y, 0, 0));
      ASSERT_EQ(bgr[1], img(x, y, 0, 1));
      ASSERT_EQ(bgr[0], img(x, y, 0, 2));
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/mat_convert.h"
#include "core/pixel_buffers.h"
#include "tests/support/image_compare.h"

namespace {

Hdr_image numbered_image(uint32_t w, uint32_t h) {
  Hdr_image image(w, h, 1, 3, 0.f);
  for (uint64_t i = 0; i < image.size(); ++i) image.data()[i] = float(i) + 0.25f;
  return image;
}

TEST(MatConvert, ChannelsAreBlueGreenRed) {
  const Hdr_image image = numbered_image(4, 3);
  const cv::Mat mat = image_to_mat(image);
  ASSERT_EQ(mat.type(), CV_32FC3);
  ASSERT_EQ(mat.rows, 3);
  ASSERT_EQ(mat.cols, 4);
  const cv::Vec3f p = mat.at<cv::Vec3f>(2, 1);  // row 2, column 1
  EXPECT_EQ(p[0], image(1, 2, 0, 2));
  EXPECT_EQ(p[1], image(1, 2, 0, 1));
  EXPECT_EQ(p[2], image(1, 2, 0, 0));
}

// planes -> mat -> planes -> rows -> planes gives back the same values.
TEST(MatConvert, RoundTripThroughMatAndRows) {
  const Hdr_image original = numbered_image(6, 5);
  std::unique_ptr<Hdr_image> back = mat_to_image(image_to_mat(original));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->spectrum(), 3);
  EXPECT_TRUE(images_match(original, *back));

  Image_rows rows = image_to_rows(*back);
  Hdr_image again(6, 5, 1, 3, 0.f);
  rows_to_image(rows, again);
  EXPECT_TRUE(images_match(original, again));

  Hdr_image into(6, 5, 1, 3, -1.f);
  mat_into_image(image_to_mat(original), into);
  EXPECT_TRUE(images_match(original, into));
}

TEST(MatConvert, NonContinuousMatrix) {
  const Hdr_image original = numbered_image(8, 6);
  const cv::Mat big = image_to_mat(original);
  const cv::Mat roi = big(cv::Rect(2, 1, 4, 3));
  ASSERT_FALSE(roi.isContinuous());
  auto part = mat_to_image(roi);
  EXPECT_EQ((*part)(0, 0, 0, 0), original(2, 1, 0, 0));
  EXPECT_EQ((*part)(3, 2, 0, 2), original(5, 3, 0, 2));
}

TEST(MatConvert, SizeMismatchWritesNothing) {
  const cv::Mat mat(3, 4, CV_32FC3, cv::Scalar(1, 2, 3));
  Hdr_image small(2, 2, 1, 3, 7.f);
  EXPECT_THROW(mat_into_image(mat, small), std::invalid_argument);
  for (uint64_t i = 0; i < small.size(); ++i) EXPECT_EQ(small.data()[i], 7.f);
  Hdr_image transposed(3, 4, 1, 3, 7.f);
  EXPECT_THROW(mat_into_image(mat, transposed), std::invalid_argument);
  Hdr_image grey(4, 3, 1, 1, 7.f);
  EXPECT_THROW(mat_into_image(mat, grey), std::invalid_argument);
}

TEST(MatConvert, RefusesOtherMatrixTypes) {
  EXPECT_THROW(mat_to_image(cv::Mat(2, 2, CV_8UC3)), std::invalid_argument);
  EXPECT_THROW(mat_to_image(cv::Mat(2, 2, CV_32FC1)), std::invalid_argument);
  Hdr_image grey(2, 2, 1, 1, 0.f);
  EXPECT_THROW(image_to_mat(grey), std::invalid_argument);
}

}  // namespace

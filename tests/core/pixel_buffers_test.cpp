#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "core/pixel_buffers.h"
#include "tests/support/image_compare.h"

namespace {

// Every value distinct, so a swapped channel or row shows.
Hdr_image numbered_image(uint32_t w, uint32_t h) {
  Hdr_image image(w, h, 1, 3, 0.f);
  for (uint64_t i = 0; i < image.size(); ++i) image.data()[i] = float(i) * 0.5f - 3.f;
  image.type = k_type_exr;
  return image;
}

TEST(PixelBuffers, RowsHoldInterleavedPixels) {
  const Hdr_image image = numbered_image(4, 3);
  Image_rows rows = image_to_rows(image);
  ASSERT_EQ(rows.width(), 4u);
  ASSERT_EQ(rows.height(), 3u);
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 4; ++x)
      for (uint32_t c = 0; c < 3; ++c)
        EXPECT_EQ(rows.rows()[y][3 * x + c], image(x, y, 0, c)) << x << "," << y << "," << c;
}

TEST(PixelBuffers, RowsRoundTripLeavesImageUnchanged) {
  const Hdr_image original = numbered_image(7, 5);
  Hdr_image image = original;
  Image_rows rows = image_to_rows(image);
  image.fill(0.f);
  rows_to_image(rows, image);
  EXPECT_TRUE(images_match(original, image));
}

TEST(PixelBuffers, RowsToImageResizesAMismatchedImage) {
  const Hdr_image original = numbered_image(3, 2);
  Image_rows rows = image_to_rows(original);
  Hdr_image other(1, 1, 1, 1, 9.f);
  rows_to_image(rows.rows(), other, 3, 2);
  ASSERT_EQ(other.width(), 3);
  ASSERT_EQ(other.height(), 2);
  ASSERT_EQ(other.spectrum(), 3);
  EXPECT_TRUE(images_match(original, other));
}

TEST(PixelBuffers, RowsSurviveAMove) {
  const Hdr_image original = numbered_image(2, 2);
  Image_rows moved = image_to_rows(original);
  Image_rows rows = std::move(moved);
  EXPECT_EQ(rows.rows()[1][3], original(1, 1, 0, 0));
}

TEST(PixelBuffers, EmptyImageIsRefused) {
  Hdr_image empty;
  EXPECT_THROW(image_to_rows(empty), std::invalid_argument);
}

TEST(PixelBuffers, InterleavedFloats) {
  const Hdr_image image = numbered_image(3, 2);
  auto buf = image_to_interleaved(image);
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 3; ++x)
      for (uint32_t c = 0; c < 3; ++c) EXPECT_EQ(buf[(y * 3 + x) * 3 + c], image(x, y, 0, c));
}

TEST(PixelBuffers, BytesRoundTripThroughInterleaved) {
  Rgb8_image planar(5, 3, 1, 3);
  for (uint64_t i = 0; i < planar.size(); ++i) planar.data()[i] = uint8_t(i * 7);
  std::vector<uint8_t> inter(5 * 3 * 3);
  planar_rgb8_to_interleaved(inter.data(), planar);
  EXPECT_EQ(inter[0], planar(0, 0, 0, 0));
  EXPECT_EQ(inter[1], planar(0, 0, 0, 1));
  EXPECT_EQ(inter[2], planar(0, 0, 0, 2));
  EXPECT_EQ(inter[(2 * 5 + 4) * 3 + 1], planar(4, 2, 0, 1));

  Rgb8_image back(5, 3, 1, 3, 0);
  interleaved_rgb8_to_planar(back, inter.data());
  EXPECT_TRUE(back == planar);
}

TEST(PixelBuffers, ByteConversionsRefuseGreyImages) {
  Rgb8_image grey(2, 2, 1, 1, 0);
  uint8_t buf[12] = {};
  EXPECT_THROW(planar_rgb8_to_interleaved(buf, grey), std::invalid_argument);
  EXPECT_THROW(interleaved_rgb8_to_planar(grey, buf), std::invalid_argument);
}

}  // namespace

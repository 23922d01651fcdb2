// The operators as the tone-mapping dialog drives them: from the image to rows or a matrix
// and back.
#include <gtest/gtest.h>

#include <cmath>

#include "core/hdr_image.h"
#include "core/mat_convert.h"
#include "core/pixel_buffers.h"
#include "hdr/tonemap_asymmetric.h"
#include "hdr/tonemap_photographic.h"
#include "hdr/tonemap_photoreceptor.h"
#include "tests/support/hdr_scene.h"

namespace {

Hdr_image scene_image() {
  Rgb_rows r = hdr_scene_rows(160, 120);
  Hdr_image image;
  rows_to_image(r.rows(), image, uint64_t(r.width), uint64_t(r.height));
  return image;
}

enum class Op { automatic, global, local, interactive, asymmetric };

void apply(Op op, Hdr_image& image) {
  if (op == Op::asymmetric) {
    cv::Mat out;
    tonemap_asymmetric(out, image_to_mat(image), 2.2f);
    mat_into_image(out, image);
    return;
  }
  Image_rows rows = image_to_rows(image);
  const int32_t w = int32_t(rows.width()), h = int32_t(rows.height());
  if (op == Op::interactive)
    tonemap_photoreceptor(rows.rows(), w, h, 0.5f, 0.f, 0.5f, 2.2f, false);
  else
    tonemap_photographic(rows.rows(), w, h, 2.2f, uint32_t(op));
  rows_to_image(rows, image);
}

class ImagePath : public ::testing::TestWithParam<Op> {};

TEST_P(ImagePath, BoundedAndColoursStayInTheirPlanes) {
  Hdr_image image = scene_image();
  apply(GetParam(), image);
  ASSERT_EQ(image.width(), 160);
  ASSERT_EQ(image.height(), 120);
  ASSERT_EQ(image.spectrum(), 3);
  cimg_for(image, p, float) {
    ASSERT_TRUE(std::isfinite(*p));
    ASSERT_GE(*p, 0.f);
    ASSERT_LE(*p, 255.f);
  }
  // Inside the scene's red patch red stays the strongest channel, blue the weakest.
  const int x = 28, y = 84;
  EXPECT_GT(image(x, y, 0, 0), image(x, y, 0, 1));
  EXPECT_GT(image(x, y, 0, 1), image(x, y, 0, 2));
}

INSTANTIATE_TEST_SUITE_P(Operators, ImagePath,
                         ::testing::Values(Op::automatic, Op::global, Op::local, Op::interactive,
                                           Op::asymmetric));

}  // namespace

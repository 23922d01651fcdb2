#include "core/image_crop.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/hdr_image.h"
#include "tests/support/image_compare.h"

namespace {

// Every value distinct: plane c, row y, column x holds c*10000 + y*100 + x.
Hdr_image numbered(int w, int h) {
  Hdr_image img(w, h, 1, 3, 0.f);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img(x, y, 0, c) = float(c * 10000 + y * 100 + x);
  img.type = k_type_png;
  return img;
}

struct Crop_case {
  Crop_bounds b;
};

class CropImage : public ::testing::TestWithParam<Crop_case> {};

TEST_P(CropImage, KeepsTheInclusiveColumnsAndRowsOfEveryPlane) {
  const Crop_bounds b = GetParam().b;
  const Hdr_image src = numbered(7, 5);
  Hdr_image img = src;
  img.stats.computed = 1;
  img.stats.range_ev = 3.f;
  crop_image(img, b);
  ASSERT_EQ(img.width(), b.x1 - b.x0 + 1);
  ASSERT_EQ(img.height(), b.y1 - b.y0 + 1);
  ASSERT_EQ(img.spectrum(), 3);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        ASSERT_EQ(img(x, y, 0, c), src(b.x0 + x, b.y0 + y, 0, c)) << x << "," << y << "," << c;
  EXPECT_EQ(img.type, uint32_t(k_type_png));
  // The cached figures described the whole image.
  EXPECT_EQ(img.stats.computed, 0);
  EXPECT_EQ(img.stats.range_ev, 0.f);
}

INSTANTIATE_TEST_SUITE_P(Bounds, CropImage,
                         ::testing::Values(Crop_case{{0, 0, 6, 4}},    // whole image
                                           Crop_case{{2, 1, 4, 3}},    // inner block
                                           Crop_case{{6, 4, 6, 4}},    // one corner pixel
                                           Crop_case{{0, 2, 6, 2}},    // one row
                                           Crop_case{{3, 0, 3, 4}}));  // one column

TEST(CropImage, BoundsOutsideTheImageAreRefusedAndChangeNothing) {
  const Hdr_image src = numbered(7, 5);
  const Crop_bounds bad[] = {
      {-1, 0, 3, 3}, {0, -1, 3, 3}, {0, 0, 7, 4}, {0, 0, 6, 5}, {4, 0, 3, 4}, {0, 3, 6, 2},
  };
  for (const Crop_bounds& b : bad) {
    Hdr_image img = src;
    EXPECT_FALSE(crop_bounds_inside(b, 7, 5));
    EXPECT_THROW(crop_image(img, b), std::invalid_argument);
    EXPECT_TRUE(images_match(src, img));
  }
  Hdr_image empty;
  EXPECT_THROW(crop_image(empty, Crop_bounds{0, 0, 0, 0}), std::invalid_argument);
}

}  // namespace

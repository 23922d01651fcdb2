#include "viewer/viewer_undo.h"

#include <gtest/gtest.h>

#include <cfloat>

#include "core/hdr_image.h"
#include "tests/support/image_compare.h"

namespace {

// w x h, every value `value` times the exposure it carries.
Hdr_image filled(int w, int h, float value, uint32_t type) {
  Hdr_image img(w, h, 1, 3, value);
  img.type = type;
  return img;
}

TEST(ExchangeUndoCopy, SameExposureSwapsPixelsTypeAndStatistics) {
  Hdr_image image = filled(4, 3, 2.f, k_type_exr), copy = filled(8, 6, 5.f, k_type_png);
  copy.stats.computed = 1;
  copy.stats.range_ev = 7.f;
  const float* copy_pixels = copy.data();
  float exposure = 3.f, copy_exposure = 3.f;
  exchange_undo_copy(image, exposure, copy, copy_exposure);
  EXPECT_TRUE(images_match(filled(8, 6, 5.f, k_type_png), image));
  EXPECT_TRUE(images_match(filled(4, 3, 2.f, k_type_exr), copy));
  EXPECT_EQ(image.data(), copy_pixels);  // swapped, not copied
  EXPECT_EQ(image.type, uint32_t(k_type_png));
  EXPECT_EQ(copy.type, uint32_t(k_type_exr));
  EXPECT_EQ(image.stats.range_ev, 7.f);
  EXPECT_EQ(copy.stats.computed, 0);
  EXPECT_EQ(exposure, 3.f);
  EXPECT_EQ(copy_exposure, 3.f);
}

// The exposure changed between the edit and its undo: the restored pixels come back at
// the exposure shown now, and dividing each side by its own factor gives the file values.
TEST(ExchangeUndoCopy, RestoredPixelsAreBroughtToTheExposureShownNow) {
  const float file_full = 0.75f, file_crop = 0.25f;
  const float at_edit = 2.f, now = 16.f;
  Hdr_image image = filled(2, 2, file_crop * now, k_type_exr);
  Hdr_image copy = filled(5, 4, file_full * at_edit, k_type_exr);
  float exposure = now, copy_exposure = at_edit;
  exchange_undo_copy(image, exposure, copy, copy_exposure);
  EXPECT_EQ(exposure, now);
  EXPECT_EQ(copy_exposure, now);
  ASSERT_EQ(image.width(), 5);
  Hdr_image file_values = image;
  file_values /= exposure;
  EXPECT_TRUE(images_match(filled(5, 4, file_full, k_type_exr), file_values, {0, 1e-6}));
  // Redo after a further change of exposure: the crop comes back at that one too.
  exposure = 0.5f;
  image *= 0.5f / now;
  exchange_undo_copy(image, exposure, copy, copy_exposure);
  EXPECT_EQ(image.width(), 2);
  EXPECT_EQ(exposure, 0.5f);
  EXPECT_EQ(copy_exposure, 0.5f);
  EXPECT_NEAR(image(1, 1, 0, 2) / exposure, file_crop, 1e-6f);
  EXPECT_NEAR(copy(4, 3, 0, 0) / copy_exposure, file_full, 1e-6f);
}

TEST(ExchangeUndoCopy, FactorThatWouldOverflowKeepsTheCopysOwnExposure) {
  // The copy holds values near the top of the float range at a small factor; bringing
  // them to a large one would make them infinite.
  Hdr_image image = filled(2, 2, 1.f, k_type_exr);
  Hdr_image copy = filled(3, 3, FLT_MAX / 4, k_type_exr);
  float exposure = 1e6f, copy_exposure = 1.f;
  exchange_undo_copy(image, exposure, copy, copy_exposure);
  EXPECT_EQ(exposure, 1.f);
  EXPECT_EQ(copy_exposure, 1e6f);
  EXPECT_EQ(image(0, 0, 0, 0), FLT_MAX / 4);
  EXPECT_EQ(copy(0, 0, 0, 0), 1.f);
}

}  // namespace

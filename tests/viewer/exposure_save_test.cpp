// Saving with the display exposure divided out: the file holds the image's own values,
// the image in memory keeps its exposure, also when the write fails.
#include <gtest/gtest.h>

#include <string>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "tests/support/image_compare.h"
#include "tests/support/temp_dir.h"
#include "viewer/exposure_save.h"

namespace {

Hdr_image ramp(uint32_t type) {
  Hdr_image im(7, 5, 1, 3, 0.f);
  im.type = type;
  for (uint32_t y = 0; y < 5; ++y)
    for (uint32_t x = 0; x < 7; ++x) {
      im(x, y, 0, 0) = 0.125f * float(x + 1);
      im(x, y, 0, 1) = 3.f * float(y);
      im(x, y, 0, 2) = 1000.f;
    }
  return im;
}

Hdr_image times(Hdr_image im, float f) {
  im *= f;
  return im;
}

TEST(Exposure_save, FileHoldsOwnValuesAndMemoryKeepsTheExposure) {
  Temp_dir dir;
  const Hdr_image own = ramp(k_type_exr);
  Hdr_image shown = times(own, 4.f);
  save_image_at_exposure(shown, 4.f, dir.file("a.exr"), k_type_exr, "");
  EXPECT_TRUE(images_match(own, Hdr_image(dir.file("a.exr"))));
  EXPECT_TRUE(images_match(times(own, 4.f), shown));
  EXPECT_EQ(shown.type, uint32_t(k_type_exr));
}

TEST(Exposure_save, SavingAsAnotherFormatSetsTheTypeCode) {
  Temp_dir dir;
  Hdr_image shown = times(ramp(k_type_exr), 0.5f);
  save_image_at_exposure(shown, 0.5f, dir.file("a.tif"), k_type_tiff_float, "");
  EXPECT_EQ(shown.type, uint32_t(k_type_tiff_float));
  EXPECT_TRUE(images_match(ramp(k_type_exr), Hdr_image(dir.file("a.tif"), k_type_tiff_float)));
}

TEST(Exposure_save, FailedWriteRestoresTheExposureAndKeepsTheType) {
  Temp_dir dir;
  struct Case {
    const char* what;
    std::string path;
    uint32_t type;
  };
  const Case cases[] = {
      {"read-only format", dir.file("a.tif"), k_type_tiff_logl},
      {"new-image code", dir.file("a.exr"), k_type_new_hdr},
      {"missing folder", dir.file("none/a.hdr"), k_type_rgbe},
  };
  for (const Case& c : cases) {
    Hdr_image shown = times(ramp(k_type_exr), 4.f);
    EXPECT_THROW(save_image_at_exposure(shown, 4.f, c.path, c.type, c.path), Write_error) << c.what;
    EXPECT_TRUE(images_match(times(ramp(k_type_exr), 4.f), shown)) << c.what;
    EXPECT_EQ(shown.type, uint32_t(k_type_exr)) << c.what;
  }
}

}  // namespace

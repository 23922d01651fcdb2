#include "core/file_type.h"

#include <gtest/gtest.h>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_unsupported = 0xffffffffu;

struct Detect_case {
  const char* name;        // file name inside the test folder
  uint32_t expected;       // k_unsupported: Read_error "Unsupported file type: " + path
  uint16_t tiff_bits = 0;  // > 0: the file is written as a TIFF with these bits per sample
};

class Detection : public ::testing::TestWithParam<Detect_case> {};

TEST_P(Detection, CodeFromExtension) {
  const Detect_case& c = GetParam();
  Temp_dir dir;
  const std::string path = dir.file(c.name);
  if (c.tiff_bits) {
    Tiff_layout l;
    l.width = 2;
    l.height = 2;
    l.bits = c.tiff_bits;
    l.sample_format = c.tiff_bits == 32 ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT;
    std::vector<uint8_t> data(2 * 2 * 3 * 4, 0);
    write_tiff(path, l, data.data());
  }
  if (c.expected == k_unsupported) {
    try {
      image_type_from_extension(path);
      ADD_FAILURE() << "no error for " << c.name;
    } catch (const Read_error& e) {
      EXPECT_EQ(std::string(e.what()), "Unsupported file type: " + path);
    }
  } else {
    EXPECT_EQ(image_type_from_extension(path), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, Detection,
    ::testing::Values(
        Detect_case{"photo.jpg", k_type_jpeg}, Detect_case{"photo.JPG", k_type_jpeg},
        Detect_case{"photo.JpEg", k_type_jpeg}, Detect_case{"a.png", k_type_png},
        Detect_case{"a.hdr", k_type_rgbe}, Detect_case{"a.RGBE", k_type_rgbe},
        Detect_case{"a.pic", k_type_rgbe}, Detect_case{"a.exr", k_type_exr},
        Detect_case{"a.b.c.exr", k_type_exr}, Detect_case{".hdr", k_type_rgbe},
        Detect_case{"IMAGE.TIFF", k_type_tiff8, 8}, Detect_case{"deep.tif", k_type_tiff_float, 16},
        Detect_case{"float.tif", k_type_tiff_float, 32}, Detect_case{"photo.jpg2", k_unsupported},
        Detect_case{"image.tiff2", k_unsupported}, Detect_case{"image", k_unsupported},
        Detect_case{"image.", k_unsupported}, Detect_case{"a.jp", k_unsupported},
        Detect_case{"a.jpgx", k_unsupported}, Detect_case{"a.exr.txt", k_unsupported}),
    [](const auto& info) {
      std::string name;
      for (const char* p = info.param.name; *p; ++p) name += isalnum(*p) ? *p : '_';
      return name + "_" + std::to_string(info.index);
    });

TEST(DetectionPath, DotInFolderNameIsNoExtension) {
  Temp_dir dir;
  EXPECT_THROW(image_type_from_extension(dir.path() + "folder.jpg/image"), Read_error);
}

TEST(DetectionPath, MissingTiffReportsOpenFailure) {
  Temp_dir dir;
  const std::string path = dir.file("none.tif");
  try {
    image_type_from_extension(path);
    ADD_FAILURE();
  } catch (const Read_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open TIFF file: " + path);
  }
}

}  // namespace

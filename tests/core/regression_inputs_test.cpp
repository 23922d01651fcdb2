// Inputs that once crashed or leaked in a reader, kept as files under tests/data/regressions.
// Each must load or fail with an exception; the sanitizer build catches leaks and overruns.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/hdr_image.h"

namespace {

std::vector<std::string> regression_files() {
  std::vector<std::string> names;
  const std::string dir = std::string(VELTRUM_TEST_DATA) + "/regressions/";
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class RegressionInput : public ::testing::TestWithParam<std::string> {};

TEST_P(RegressionInput, LoadsOrThrows) {
  const std::string path = std::string(VELTRUM_TEST_DATA) + "/regressions/" + GetParam();
  try {
    Hdr_image image(path);
    EXPECT_EQ(image.spectrum(), 3);
  } catch (const std::exception&) {
  }
}

INSTANTIATE_TEST_SUITE_P(Files, RegressionInput, ::testing::ValuesIn(regression_files()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace

namespace {

// A CMYK file whose strip offsets are missing: libtiff's RGBA reader used to carry on past
// the failed strips and hand back a black image as if the file were sound.
TEST(RegressionInput, RgbaPathReportsFailedStrips) {
  const std::string path =
      std::string(VELTRUM_TEST_DATA) + "/regressions/tiff_cmyk_missing_strips.tif";
  try {
    Hdr_image image(path);
    ADD_FAILURE() << "loaded a file without strip data";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read TIFF data from file: " + path);
  }
}

}  // namespace

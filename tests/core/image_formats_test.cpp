// Walks the format table: every extension leads back to its row, every row's file comes
// back through detection, its probe and its reader at the row's range, and rows and codes
// that cannot be read or written are refused.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "core/file_type.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_formats.h"
#include "core/image_load.h"
#include "core/image_save.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_fixture.h"

namespace {

bool file_exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::string upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool same_extensions(const Image_format& a, const Image_format& b) {
  for (int i = 0; i < 4; ++i) {
    const std::string x = a.extensions[i] ? a.extensions[i] : "";
    const std::string y = b.extensions[i] ? b.extensions[i] : "";
    if (x != y) return false;
  }
  return true;
}

// Width and height differ so that a probe or reader swapping them is caught. The last
// pixel holds 1000, above the 8-bit range: HDR rows must keep it, the others clamp it.
constexpr uint32_t k_width = 7, k_height = 5;
constexpr float k_bright = 1000.f;

Hdr_image test_picture() {
  Hdr_image img(k_width, k_height, 1, 3, 0.f);
  for (uint32_t y = 0; y < k_height; ++y)
    for (uint32_t x = 0; x < k_width; ++x)
      for (int c = 0; c < 3; ++c) img(x, y, 0, c) = float(60 + 10 * x + 20 * y + 5 * c);
  for (int c = 0; c < 3; ++c) img(k_width - 1, k_height - 1, 0, c) = k_bright;
  img.type = k_type_new_ldr;
  return img;
}

std::string row_name(const ::testing::TestParamInfo<uint32_t>& info) {
  const Image_format& row = *image_format(info.param);
  std::string name = "Type" + std::to_string(info.param);
  if (row.extensions[0]) name += std::string("_") + (row.extensions[0] + 1);
  return name;
}

class FormatRow : public ::testing::TestWithParam<uint32_t> {
 protected:
  const Image_format& row() const { return *image_format(GetParam()); }
};

std::vector<uint32_t> table_codes() {
  std::vector<uint32_t> codes;
  for (const Image_format* f = image_formats_begin(); f != image_formats_end(); ++f)
    codes.push_back(f->type);
  return codes;
}

}  // namespace

TEST_P(FormatRow, EveryExtensionLeadsBackToTheRowOrItsFamily) {
  const Image_format& r = row();
  ASSERT_EQ(image_format(r.type), &r) << "one row per code";
  EXPECT_STREQ(saved_extension(r.type), r.extensions[0] ? r.extensions[0] : "");
  for (const char* ext : r.extensions) {
    if (!ext) break;
    for (const std::string& typed : {std::string(ext), upper(ext)}) {
      const Image_format* found = image_format_for_name("/some.dir/photo" + typed);
      ASSERT_NE(found, nullptr) << typed;
      EXPECT_TRUE(same_extensions(*found, r)) << typed;
      EXPECT_EQ(found->type_from_tags, r.type_from_tags) << typed;
      if (!r.type_from_tags) {
        EXPECT_EQ(found, &r) << typed;
      }
    }
    // Only the whole extension counts.
    EXPECT_EQ(image_format_for_name(std::string("photo") + ext + "2"), nullptr);
  }
  EXPECT_EQ(r.probe == nullptr, r.extensions[0] == nullptr) << "a file type has a probe";
  EXPECT_EQ(r.read == nullptr, r.extensions[0] == nullptr) << "a file type has a reader";
  // 8-bit files reach HDR creation's byte planes without a float image; HDR values would
  // lose what the bytes cannot hold.
  EXPECT_EQ(r.read_bytes != nullptr, r.read != nullptr && !r.hdr)
      << "an 8-bit file type is read straight into bytes";
  EXPECT_EQ(is_hdr_type(r.type), r.hdr);
  EXPECT_EQ(is_writable_type(r.type), r.write != nullptr);
}

// The read-only rows' files come from libtiff directly: LogL holds the green channel.
void write_read_only_fixture(const Image_format& r, const std::string& path, Hdr_image& expected) {
  ASSERT_EQ(r.type, uint32_t(k_type_tiff_logl)) << "a read-only row without a fixture here";
  std::vector<float> y;
  for (uint32_t row = 0; row < k_height; ++row)
    for (uint32_t x = 0; x < k_width; ++x) y.push_back(expected(x, row, 0, 1));
  write_tiff_logl(path, k_width, k_height, y.data());
  for (uint32_t row = 0; row < k_height; ++row)
    for (uint32_t x = 0; x < k_width; ++x)
      expected(x, row, 0, 0) = expected(x, row, 0, 2) = expected(x, row, 0, 1);
}

TEST_P(FormatRow, WrittenFileComesBackThroughDetectionProbeAndReader) {
  const Image_format& r = row();
  Temp_dir dir;
  const std::string path = dir.file(std::string("f") + saved_extension(r.type));
  Hdr_image img = test_picture();
  Hdr_image expected = test_picture();
  if (r.write) {
    save_image_as(img, path, r.type);
    ASSERT_TRUE(file_exists(path));
    EXPECT_EQ(img.type, r.type);
  } else {
    try {
      save_image_as(img, path, r.type);
      ADD_FAILURE() << "a row without a writer saved";
    } catch (const Write_error& e) {
      EXPECT_EQ(std::string(e.what()), "Unsupported image type for writing: " + path);
    }
    EXPECT_FALSE(file_exists(path));
    if (!r.read) return;
    write_read_only_fixture(r, path, expected);
    if (HasFatalFailure()) return;
  }

  EXPECT_EQ(image_type_from_extension(path), r.type);
  uint32_t width = 0, height = 0, type = k_type_unassigned;
  r.probe(path, width, height, type);
  EXPECT_EQ(width, k_width);
  EXPECT_EQ(height, k_height);
  EXPECT_EQ(type, r.type_from_tags ? r.type : uint32_t(k_type_unassigned));

  Hdr_image back;
  load_image_detect_type(back, path);
  EXPECT_EQ(back.type, r.type);
  ASSERT_EQ(back.width(), int(k_width));
  ASSERT_EQ(back.height(), int(k_height));
  ASSERT_EQ(back.spectrum(), 3);
  // Lossy formats (JPEG, RGBE, LogLuv) stay within a few percent on this smooth picture.
  for (uint32_t y = 0; y < k_height; ++y)
    for (uint32_t x = 0; x < k_width; ++x) {
      if (x + 1 == k_width && y + 1 == k_height) continue;  // the bright pixel, below
      for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(back(x, y, 0, c), expected(x, y, 0, c), 0.05f * expected(x, y, 0, c) + 3.f)
            << x << "," << y << "," << c;
    }
  const float bright = back(k_width - 1, k_height - 1, 0, 1);
  if (r.hdr) {
    EXPECT_NEAR(bright, k_bright, 0.05f * k_bright);
  } else {
    EXPECT_GE(bright, 200.f) << "8-bit rows clamp to 255";
    EXPECT_LE(bright, 255.f);
  }

  // The row's range flag against what the format itself holds: given the bright value
  // unclamped, only an HDR format keeps it.
  float kept = bright;
  if (r.write) {
    const std::string raw = dir.file(std::string("raw") + saved_extension(r.type));
    r.write(test_picture(), raw, Write_source{raw, k_type_new_ldr});
    Hdr_image raw_back;
    load_image(raw_back, raw, r.type);
    kept = raw_back(k_width - 1, k_height - 1, 0, 1);
  }
  EXPECT_EQ(kept > 255.f, r.hdr) << "the file holds " << kept;
}

INSTANTIATE_TEST_SUITE_P(Table, FormatRow, ::testing::ValuesIn(table_codes()), row_name);

TEST(FormatTable, CodesAndNamesOutsideTheTableAreRefused) {
  Temp_dir dir;
  for (uint32_t code : {uint32_t(k_type_unassigned), 11u, 0xffffffffu}) {
    EXPECT_EQ(image_format(code), nullptr) << code;
    EXPECT_FALSE(is_writable_type(code)) << code;
    EXPECT_FALSE(is_hdr_type(code)) << code;
    EXPECT_STREQ(saved_extension(code), "");
    const std::string path = dir.file("x.exr");
    Hdr_image img = test_picture();
    EXPECT_THROW(save_image_as(img, path, code), Write_error) << code;
    EXPECT_FALSE(file_exists(path));
    Hdr_image back;
    EXPECT_THROW(load_image(back, path, code), Read_error) << code;
  }
  for (const char* name :
       {"photo", "photo.", "photo.jpg2", "photo.tif.bak", "dir.jpg/photo", "photo.jp"})
    EXPECT_EQ(image_format_for_name(name), nullptr) << name;
}

TEST(FormatTable, RowsWithoutAReaderRefuseToLoad) {
  Temp_dir dir;
  const std::string path = dir.file("x.exr");
  Hdr_image img = test_picture();
  save_image_as(img, path, k_type_exr);
  for (const Image_format* f = image_formats_begin(); f != image_formats_end(); ++f) {
    if (f->read) continue;
    Hdr_image back;
    try {
      load_image(back, path, f->type);
      ADD_FAILURE() << "code " << f->type << " loaded";
    } catch (const Read_error& e) {
      EXPECT_EQ(std::string(e.what()), "Unsupported file type: " + path);
    }
  }
}

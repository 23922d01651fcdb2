// The tile classes against the format table: a file of every row gets the tile class of
// its format, the row's type code (for TIFF the one its tags name) and the header size;
// names outside the table and folder entries get no tile.
#include <gtest/gtest.h>

#include <FL/Fl_Group.H>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "browser/icon_types.h"
#include "core/hdr_image.h"
#include "core/image_formats.h"
#include "core/image_save.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_width = 9, k_height = 4;  // unequal: a swapped probe shows

// Writes a file of the row's format under name: through the row's writer, or for the
// read-only LogL row through libtiff.
void write_file_of(const Image_format& row, const std::string& path) {
  if (row.write) {
    Hdr_image img(k_width, k_height, 1, 3, 100.f);
    save_image_as(img, path, row.type);
    return;
  }
  ASSERT_EQ(row.type, uint32_t(k_type_tiff_logl)) << "a read-only row without a fixture here";
  const std::vector<float> y(k_width * k_height, 0.5f);
  write_tiff_logl(path, k_width, k_height, y.data());
}

bool has_class_of(const Icon& tile, uint32_t type) {
  switch (type) {
    case k_type_jpeg:
      return dynamic_cast<const JPEG_icon*>(&tile) != nullptr;
    case k_type_png:
      return dynamic_cast<const PNG_icon*>(&tile) != nullptr;
    case k_type_rgbe:
      return dynamic_cast<const RGBE_icon*>(&tile) != nullptr;
    case k_type_exr:
      return dynamic_cast<const OPENEXR_icon*>(&tile) != nullptr;
    default:
      return dynamic_cast<const TIFF_icon*>(&tile) != nullptr;
  }
}

}  // namespace

TEST(IconTypes, EveryRowsFileGetsItsTileTypeAndSize) {
  Temp_dir dir;
  Fl_Group::current(nullptr);
  for (const Image_format* row = image_formats_begin(); row != image_formats_end(); ++row) {
    int n = 0;
    for (const char* ext : row->extensions) {
      if (!ext) break;
      // Every extension of the row, the later ones in capitals.
      std::string name = "t" + std::to_string(row->type) + "_" + std::to_string(n) + ext;
      if (n++ > 0)
        for (size_t i = name.size() - std::string(ext).size(); i < name.size(); ++i)
          name[i] = char(std::toupper(static_cast<unsigned char>(name[i])));
      write_file_of(*row, dir.file(name));
      std::unique_ptr<Icon> tile(make_icon_for_name(name, dir.path()));
      ASSERT_NE(tile, nullptr) << name;
      EXPECT_TRUE(has_class_of(*tile, row->type)) << name;
      EXPECT_TRUE(tile->readable) << name;
      EXPECT_EQ(tile->type, row->type) << name;
      EXPECT_EQ(tile->width, k_width) << name;
      EXPECT_EQ(tile->height, k_height) << name;
    }
  }
}

TEST(IconTypes, NamesOutsideTheTableAndFoldersGetNoTile) {
  Temp_dir dir;
  Fl_Group::current(nullptr);
  for (const char* name : {"notes.txt", "photo", "photo.jpg2", "photo.tif.bak", "pics.jpg/", ""})
    EXPECT_EQ(make_icon_for_name(name, dir.path()), nullptr) << name;
}

TEST(IconTypes, UnreadableHeaderKeepsTheRowsCodeAndMarksTheTile) {
  Temp_dir dir;
  Fl_Group::current(nullptr);
  for (const char* name : {"bad.jpg", "bad.png", "bad.hdr", "bad.exr", "bad.tif"}) {
    ASSERT_TRUE(write_file_bytes(dir.file(name), "not an image at all"));
    std::unique_ptr<Icon> tile(make_icon_for_name(name, dir.path()));
    ASSERT_NE(tile, nullptr) << name;
    EXPECT_FALSE(tile->readable) << name;
    EXPECT_EQ(tile->type, image_format_for_name(name)->type) << name;
  }
}

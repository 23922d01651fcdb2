#include "core/embedded_icons.h"

#include <FL/Fl_File_Icon.H>
#include <FL/Fl_PNG_Image.H>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "core/platform.h"
#include "core/preferences.h"
#include "tests/support/png_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

const unsigned char k_bytes[] = {1, 2, 3, 4, 5};

int entries_in(const std::string& folder) {
  int n = 0;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++n;
    closedir(d);
  }
  return n;
}

TEST(Write_file_if_missing, writes_whole_file_and_leaves_no_temporary) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_if_missing(dir.file("x.png"), k_bytes, sizeof k_bytes));
  EXPECT_EQ(read_file_bytes(dir.file("x.png")), std::string("\1\2\3\4\5"));
  EXPECT_EQ(entries_in(dir.path()), 1);
}

TEST(Write_file_if_missing, keeps_a_file_the_user_put_there) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("x.png"), "mine"));
  ASSERT_TRUE(write_file_if_missing(dir.file("x.png"), k_bytes, sizeof k_bytes));
  EXPECT_EQ(read_file_bytes(dir.file("x.png")), "mine");
}

TEST(Write_file_if_missing, unwritable_folder_fails_and_leaves_nothing) {
  Temp_dir dir;
  EXPECT_FALSE(write_file_if_missing(dir.file("no/such/x.png"), k_bytes, sizeof k_bytes));
  EXPECT_EQ(entries_in(dir.path()), 0);
}

class Embedded_png : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = std::make_unique<Preferences>(Fl_Preferences::USER, k_preferences_vendor,
                                           k_preferences_application);
    g_preferences = m_root.get();
    m_folder = user_data_folder();
    ASSERT_FALSE(m_folder.empty());
  }
  void TearDown() override { g_preferences = nullptr; }
  std::unique_ptr<Preferences> m_root;
  std::string m_folder;
};

const unsigned char* as_bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

TEST_F(Embedded_png, written_into_user_data_folder_and_loaded) {
  const std::string png = make_png_bytes(64, 64);
  Fl_PNG_Image* image = nullptr;
  load_embedded_png(image, "image-x-generic.png", as_bytes(png), png.size());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->w(), 64);
  EXPECT_EQ(read_file_bytes(m_folder + "image-x-generic.png"), png);
  delete image;
}

TEST_F(Embedded_png, replaced_by_the_user_is_kept_and_loaded) {
  const std::string mine = make_png_bytes(8, 4);
  ASSERT_TRUE(write_file_bytes(m_folder + "image-x-generic.png", mine));
  const std::string png = make_png_bytes(64, 64);
  Fl_PNG_Image* image = nullptr;
  load_embedded_png(image, "image-x-generic.png", as_bytes(png), png.size());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->w(), 8);
  EXPECT_EQ(read_file_bytes(m_folder + "image-x-generic.png"), mine);
  delete image;
}

TEST_F(Embedded_png, without_user_data_folder_decoded_from_memory_and_nothing_written) {
  g_preferences = nullptr;
  Temp_dir cwd_probe;
  const std::string png = make_png_bytes(16, 16);
  Fl_PNG_Image* image = nullptr;
  load_embedded_png(image, "stray.png", as_bytes(png), png.size());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->w(), 16);
  EXPECT_FALSE(file_exists("stray.png"));  // never written relative to the working folder
  delete image;
}

TEST_F(Embedded_png, file_icon_loaded_from_user_data_folder) {
  const std::string png = make_png_bytes(16, 16);
  Fl_File_Icon icon("", Fl_File_Icon::DIRECTORY);
  load_embedded_file_icon(&icon, "folder.png", as_bytes(png), png.size());
  EXPECT_GT(icon.size(), 0);
  EXPECT_EQ(read_file_bytes(m_folder + "folder.png"), png);
}

}  // namespace

#include "core/image_save.h"

#include <gtest/gtest.h>
#include <libexif/exif-data.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/jpeg_write.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/temp_dir.h"

namespace {

const float k_max = std::numeric_limits<float>::max();
const float k_nan = std::numeric_limits<float>::quiet_NaN();

// A smooth 8-bit test picture of w x h (values 0..255).
Hdr_image ldr_picture(uint32_t w, uint32_t h) {
  Hdr_image img(w, h, 1, 3, 0.f);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      img(x, y, 0, 0) = float(x * 255 / (w - 1));
      img(x, y, 0, 1) = float(y * 255 / (h - 1));
      img(x, y, 0, 2) = 77.f;
    }
  img.type = k_type_new_ldr;
  return img;
}

std::string jpeg_with_exif(const Temp_dir& dir, const std::string& name) {
  std::vector<uint8_t> rgb(32 * 16 * 3, 120);
  write_jpeg(dir.file("fixture.jpg"), 32, 16, 3, rgb.data());
  const std::string thumb = read_file_bytes(dir.file("fixture.jpg"));
  const std::string bytes =
      with_leading_segment(thumb, exif_app1_segment("Canon", "EOS 5D", thumb));
  EXPECT_TRUE(write_file_bytes(dir.file(name), bytes));
  return dir.file(name);
}

std::string exif_make(const std::string& path) {
  ExifData* exif = exif_data_new_from_file(path.c_str());
  if (!exif) return "";
  std::string make;
  if (ExifEntry* e = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_MAKE)) {
    char value[64];
    make = exif_entry_get_value(e, value, sizeof value);
  }
  exif_data_unref(exif);
  return make;
}

bool has_file(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string run(const std::string& command) {
  std::string out;
  if (std::FILE* p = popen((command + " 2>&1").c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

bool tool_exists(const std::string& name) {
  return system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(SaveImage, JpegOverJpegKeepsLeadingExifWithoutThumbnailLink) {
  Temp_dir dir;
  const std::string path = jpeg_with_exif(dir, "photo.jpg");
  Hdr_image img = ldr_picture(40, 30);
  img.type = k_type_jpeg;
  save_image_as(img, path, k_type_jpeg);
  const std::string out = read_file_bytes(path);
  ASSERT_GT(out.size(), 4u);
  EXPECT_EQ(out.substr(0, 4), "\xff\xd8\xff\xe1");
  const size_t length = uint8_t(out[4]) << 8 | uint8_t(out[5]);
  EXPECT_EQ(ifd1_link(out.substr(2, length + 2)), 0u);
  EXPECT_EQ(exif_make(path), "Canon");
  EXPECT_EQ(img.type, uint32_t(k_type_jpeg));
}

// The block of a file that starts with a JFIF segment, saved over itself and under a new
// name from it: the new file starts with the block, its thumbnail link cut, its
// Orientation 1 (the pixels are written as shown).
TEST(SaveImage, JpegKeepsTheExifBlockThatFollowsJfif) {
  Temp_dir dir;
  std::vector<uint8_t> rgb(16 * 8 * 3, 50);
  write_jpeg(dir.file("thumb.jpg"), 16, 8, 3, rgb.data(), 90);
  const std::string thumb = read_file_bytes(dir.file("thumb.jpg"));
  const std::string segment = exif_app1_segment("Nikon", "D1", thumb, true, 6);
  const std::string photo = dir.file("jfif.jpg");
  ASSERT_TRUE(write_file_bytes(photo, with_segment_after_jfif(thumb, segment)));
  ASSERT_EQ(exif_make(photo), "Nikon");

  struct Case {
    std::string path;
    bool from_source;
  };
  const Case cases[] = {{photo, false}, {dir.file("new.jpg"), true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Hdr_image img = ldr_picture(8, 16);
    img.type = k_type_jpeg;
    if (c.from_source)
      save_image_from(img, c.path, k_type_jpeg, photo);
    else
      save_image_as(img, c.path, k_type_jpeg);
    const std::string out = read_file_bytes(c.path);
    EXPECT_EQ(out.substr(0, 2), "\xff\xd8");
    EXPECT_EQ(out.substr(2, segment.size()), carried_segment(segment));
    EXPECT_EQ(out.substr(2 + segment.size(), 4), std::string("\xff\xe0\x00\x10", 4))
        << "the JFIF segment follows";
  }
}

TEST(SaveImage, NoExifCarriedOverInTheOtherCases) {
  Temp_dir dir;
  // A JPEG-coded image saved as PNG carries nothing (it is not a JPEG).
  const std::string photo = jpeg_with_exif(dir, "photo.jpg");
  Hdr_image b = ldr_picture(8, 8);
  b.type = k_type_jpeg;
  save_image(b, dir.file("out.png"), k_type_png, photo, k_type_jpeg, true);
  EXPECT_EQ(read_file_bytes(dir.file("out.png")).substr(1, 3), "PNG");

  // save_image_as under a new name: the source is the new, missing file.
  Hdr_image c = ldr_picture(8, 8);
  c.type = k_type_jpeg;
  save_image_as(c, dir.file("new.jpg"), k_type_jpeg);
  EXPECT_EQ(read_file_bytes(dir.file("new.jpg")).substr(0, 4), "\xff\xd8\xff\xe0");

  // An image not from a JPEG (tone-mapped result) saved over an EXIF JPEG.
  Hdr_image d = ldr_picture(8, 8);
  save_image_as(d, photo, k_type_jpeg);
  EXPECT_EQ(exif_make(photo), "");
}

TEST(SaveImage, CopyPathCopiesBytesWithoutClamping) {
  Temp_dir dir;
  const std::string bytes = "not even an image: copied, never decoded";
  ASSERT_TRUE(write_file_bytes(dir.file("src.hdr"), bytes));
  Hdr_image img(2, 2, 1, 3, 300.f);
  img(0, 0, 0, 0) = -5.f;
  img.type = k_type_rgbe;
  save_image(img, dir.file("copy.hdr"), k_type_rgbe, dir.file("src.hdr"), k_type_rgbe, false);
  EXPECT_EQ(read_file_bytes(dir.file("copy.hdr")), bytes);
  EXPECT_EQ(img(0, 0, 0, 0), -5.f) << "the copy path does not clamp";
  // Saving a file unchanged over itself leaves it intact.
  save_image(img, dir.file("src.hdr"), k_type_rgbe, dir.file("src.hdr"), k_type_rgbe, false);
  EXPECT_EQ(read_file_bytes(dir.file("src.hdr")), bytes);
  // Another type encodes instead.
  img.type = k_type_rgbe;
  save_image(img, dir.file("enc.png"), k_type_png, dir.file("src.hdr"), k_type_rgbe, false);
  EXPECT_EQ(read_file_bytes(dir.file("enc.png")).substr(1, 3), "PNG");
  EXPECT_EQ(img.type, uint32_t(k_type_png));
  EXPECT_EQ(img(0, 0, 0, 0), 0.f);
  EXPECT_EQ(img(1, 1, 0, 0), 255.f);
}

TEST(SaveImage, ClampsInPlaceByTypeAndKeepsNan) {
  Temp_dir dir;
  Hdr_image hdr(4, 1, 1, 3, 1.f);
  hdr(0, 0, 0, 0) = -2.f;
  hdr(1, 0, 0, 0) = std::numeric_limits<float>::infinity();
  hdr(2, 0, 0, 0) = k_nan;
  hdr(3, 0, 0, 0) = 1000.f;
  Hdr_image ldr(hdr);
  save_image_as(hdr, dir.file("a.exr"), k_type_exr);
  EXPECT_EQ(hdr(0, 0, 0, 0), 0.f);
  EXPECT_EQ(hdr(1, 0, 0, 0), k_max);
  EXPECT_TRUE(std::isnan(hdr(2, 0, 0, 0)));
  EXPECT_EQ(hdr(3, 0, 0, 0), 1000.f);
  save_image_as(ldr, dir.file("a.png"), k_type_png);
  EXPECT_EQ(ldr(0, 0, 0, 0), 0.f);
  EXPECT_EQ(ldr(1, 0, 0, 0), 255.f);
  EXPECT_TRUE(std::isnan(ldr(2, 0, 0, 0)));
  EXPECT_EQ(ldr(3, 0, 0, 0), 255.f);
}

TEST(SaveImage, TypesWithoutAFormatThrowAndWriteNothing) {
  Temp_dir dir;
  for (uint32_t type : {4u, 8u, 9u, 10u, 11u}) {
    Hdr_image img(2, 2, 1, 3, 1.f);
    img.type = k_type_tiff_logl;
    const std::string path = dir.file("x" + std::to_string(type) + ".tif");
    try {
      save_image_as(img, path, type);
      FAIL() << type;
    } catch (const Write_error& e) {
      EXPECT_EQ(std::string(e.what()), "Unsupported image type for writing: " + path);
    }
    EXPECT_FALSE(has_file(path));
  }
  // A LogL file re-saved in its own type (batch rotate) fails instead of doing nothing.
  ASSERT_TRUE(write_file_bytes(dir.file("l.tif"), "old"));
  Hdr_image logl(2, 2, 1, 3, 1.f);
  logl.type = k_type_tiff_logl;
  EXPECT_THROW(save_image_own_type(logl, dir.file("l.tif")), Write_error);
  EXPECT_EQ(read_file_bytes(dir.file("l.tif")), "old");
}

// The EXIF block was read from the target before the target was checked: a named pipe
// there made the save wait for a writer forever. Run in a child so that a hang fails.
TEST(SaveImage, JpegOverNamedPipeThrowsWithoutWaiting) {
  Temp_dir dir;
  ASSERT_EQ(mkfifo(dir.file("pipe.jpg").c_str(), 0644), 0);
  EXPECT_EXIT(
      {
        alarm(10);
        Hdr_image img = ldr_picture(8, 8);
        img.type = k_type_jpeg;
        try {
          save_image_as(img, dir.file("pipe.jpg"), k_type_jpeg);
        } catch (const Write_error&) {
          std::exit(0);
        }
        std::exit(1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(SaveImage, EmptyOrWrongChannelCountThrows) {
  Temp_dir dir;
  Hdr_image empty;
  EXPECT_THROW(save_image_as(empty, dir.file("e.hdr"), k_type_rgbe), Write_error);
  Hdr_image grey(4, 4, 1, 1, 1.f);
  EXPECT_THROW(save_image_as(grey, dir.file("g.hdr"), k_type_rgbe), Write_error);
  EXPECT_FALSE(has_file(dir.file("e.hdr")));
  EXPECT_FALSE(has_file(dir.file("g.hdr")));
}

struct Format_case {
  const char* name;
  uint32_t type;
  const char* file;
};

class SaveIntoReadOnlyFolder : public ::testing::TestWithParam<Format_case> {};

TEST_P(SaveIntoReadOnlyFolder, OldFileStaysByteIdentical) {
  Temp_dir dir;
  const std::string folder = dir.file("ro/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string path = folder + GetParam().file;
  const std::string old = "the user's old file";
  ASSERT_TRUE(write_file_bytes(path, old));
  Hdr_image img = ldr_picture(16, 16);
  {
    Read_only_dir ro(folder);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_ANY_THROW(save_image_as(img, path, GetParam().type));
  }
  EXPECT_EQ(read_file_bytes(path), old);
}

const Format_case k_formats[] = {
    {"Exr", k_type_exr, "a.exr"},           {"Rgbe", k_type_rgbe, "a.hdr"},
    {"Png", k_type_png, "a.png"},           {"Jpeg", k_type_jpeg, "a.jpg"},
    {"Tiff8", k_type_tiff8, "a.tif"},       {"TiffFloat", k_type_tiff_float, "a.tif"},
    {"LogLuv", k_type_tiff_logluv, "a.tif"}};

INSTANTIATE_TEST_SUITE_P(Formats, SaveIntoReadOnlyFolder, ::testing::ValuesIn(k_formats),
                         [](const ::testing::TestParamInfo<Format_case>& info) {
                           return std::string(info.param.name);
                         });

TEST(SaveImage, CopyIntoReadOnlyFolderKeepsOldFile) {
  Temp_dir dir;
  const std::string folder = dir.file("ro/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(folder + "a.hdr", "old"));
  ASSERT_TRUE(write_file_bytes(dir.file("src.hdr"), "new"));
  chmod(dir.file("src.hdr").c_str(), 0644);
  Hdr_image img(1, 1, 1, 3, 1.f);
  {
    Read_only_dir ro(folder);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_THROW(save_image(img, folder + "a.hdr", 1, dir.file("src.hdr"), 1, false), Write_error);
  }
  EXPECT_EQ(read_file_bytes(folder + "a.hdr"), "old");
}

TEST(SaveImage, LogLuvTagsAndImageKeepsRgb) {
  Temp_dir dir;
  Hdr_image img(5, 3, 1, 3, 0.f);
  for (int x = 0; x < 5; ++x)
    for (int y = 0; y < 3; ++y) {
      img(x, y, 0, 0) = 0.5f + x;
      img(x, y, 0, 1) = 0.25f * (y + 1);
      img(x, y, 0, 2) = 2.f;
    }
  const Hdr_image before(img);
  img.type = k_type_exr;
  save_image_as(img, dir.file("l.tif"), k_type_tiff_logluv);
  EXPECT_EQ(img.type, uint32_t(k_type_tiff_logluv));
  for (uint64_t i = 0; i < img.size(); ++i) ASSERT_EQ(img.data()[i], before.data()[i]);

  TIFF* tif = TIFFOpen(dir.file("l.tif").c_str(), "r");
  ASSERT_NE(tif, nullptr);
  uint16_t compression = 0, photometric = 0, planar = 0, spp = 0, orientation = 0;
  uint32_t w = 0, h = 0;
  char* software = nullptr;
  TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
  TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation);
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
  TIFFGetField(tif, TIFFTAG_SOFTWARE, &software);
  EXPECT_EQ(compression, COMPRESSION_SGILOG);
  EXPECT_EQ(photometric, PHOTOMETRIC_LOGLUV);
  EXPECT_EQ(planar, PLANARCONFIG_CONTIG);
  EXPECT_EQ(spp, 3);
  EXPECT_EQ(orientation, ORIENTATION_TOPLEFT);
  EXPECT_EQ(w, 5u);
  EXPECT_EQ(h, 3u);
  ASSERT_NE(software, nullptr);
  EXPECT_STREQ(software, "CImg");
  // The stored values are XYZ: decode the first pixel as float XYZ.
  TIFFSetField(tif, TIFFTAG_SGILOGDATAFMT, SGILOGDATAFMT_FLOAT);
  std::vector<float> row(5 * 3);
  ASSERT_EQ(TIFFReadScanline(tif, row.data(), 0, 0), 1);
  const double r = 0.5, g = 0.25, b = 2.0;
  EXPECT_NEAR(row[1], 0.212656 * r + 0.715158 * g + 0.0721856 * b, 0.003);
  EXPECT_NEAR(row[0], 0.412424 * r + 0.357579 * g + 0.180464 * b, 0.01);
  TIFFClose(tif);
}

TEST(SaveImageInterop, ExrheaderReadsOurOpenExr) {
  if (!tool_exists("exrheader")) GTEST_SKIP() << "exrheader not installed";
  Temp_dir dir;
  Hdr_image img(33, 17, 1, 3, 1.5f);
  save_image_as(img, dir.file("a.exr"), k_type_exr);
  const std::string out = run("exrheader " + dir.file("a.exr"));
  EXPECT_NE(out.find("zip"), std::string::npos) << out;
  EXPECT_NE(out.find("(0 0) - (32 16)"), std::string::npos) << out;
  for (const char* channel :
       {"R, 32-bit floating-point", "G, 32-bit floating-point", "B, 32-bit floating-point"})
    EXPECT_NE(out.find(channel), std::string::npos) << out;
  EXPECT_NE(out.find("increasing y"), std::string::npos) << out;
}

TEST(SaveImageInterop, TiffinfoReadsOurLogLuvAndTiffdumpOurFloatTiff) {
  if (!tool_exists("tiffinfo") || !tool_exists("tiffdump")) GTEST_SKIP() << "libtiff tools missing";
  Temp_dir dir;
  Hdr_image img(20, 10, 1, 3, 3.f);
  save_image_as(img, dir.file("l.tif"), k_type_tiff_logluv);
  const std::string info = run("tiffinfo -D " + dir.file("l.tif"));
  EXPECT_NE(info.find("Image Width: 20 Image Length: 10"), std::string::npos) << info;
  EXPECT_NE(info.find("SGILog"), std::string::npos) << info;
  EXPECT_NE(info.find("CIE Log2(L) (u',v')"), std::string::npos) << info;
  EXPECT_EQ(info.find("Error"), std::string::npos) << info;

  save_image_as(img, dir.file("f.tif"), k_type_tiff_float);
  const std::string dump = run("tiffdump " + dir.file("f.tif"));
  EXPECT_NE(dump.find("BitsPerSample (258) SHORT (3) 3<32 32 32>"), std::string::npos) << dump;
  EXPECT_NE(dump.find("SampleFormat (339) SHORT (3) 3<3 3 3>"), std::string::npos) << dump;
  EXPECT_NE(dump.find("Photometric (262) SHORT (3) 1<2>"), std::string::npos) << dump;
  EXPECT_NE(dump.find("Compression (259) SHORT (3) 1<1>"), std::string::npos) << dump;

  save_image_as(img, dir.file("8.tif"), k_type_tiff8);
  const std::string dump8 = run("tiffdump " + dir.file("8.tif"));
  EXPECT_NE(dump8.find("BitsPerSample (258) SHORT (3) 3<8 8 8>"), std::string::npos) << dump8;
}

}  // namespace

namespace {

// The image library's JPEG writer lets libjpeg call exit() on any error; these must come
// back as exceptions and leave the old file.
TEST(SaveImage, JpegTooWideThrowsInsteadOfEndingTheProgram) {
  Temp_dir dir;
  ASSERT_TRUE(write_file_bytes(dir.file("w.jpg"), "old"));
  Hdr_image img(70000, 1, 1, 3, 10.f);  // libjpeg's limit is 65500
  try {
    save_image_as(img, dir.file("w.jpg"), k_type_jpeg);
    FAIL() << "no exception";
  } catch (const Write_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot write jpeg image to file: " + dir.file("w.jpg"));
  }
  EXPECT_EQ(read_file_bytes(dir.file("w.jpg")), "old");
}

TEST(WriteJpegImage, FullDiskThrows) {
  std::FILE* f = std::fopen("/dev/full", "wb");
  if (!f) GTEST_SKIP() << "no /dev/full";
  std::setvbuf(f, nullptr, _IONBF, 0);
  Hdr_image img(256, 256, 1, 3, 0.f);
  for (uint64_t i = 0; i < img.size(); ++i) img.data()[i] = float((i * 37) % 256);
  EXPECT_THROW(write_jpeg_image(img, f, "/dev/full", 100), Write_error);
  std::fclose(f);
}

}  // namespace

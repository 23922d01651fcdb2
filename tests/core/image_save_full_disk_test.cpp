// A disk that fills up while a file is written: every writer reports the failure and the
// old file stays byte-identical. The file-size limit makes writes fail as on a full disk;
// each case runs in a child process so that the limit stays there.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "core/file_copy.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_save.h"
#include "core/jpeg_thumb.h"
#include "tests/support/temp_dir.h"

namespace {

struct Full_disk_case {
  const char* name;
  uint32_t type;  // image type to save as; k_type_unassigned: copy_file, k_type_new_ldr: write_jpeg
  const char* file;
  const char* message;       // the Write_error text before the path; null: any text naming the path
  uint32_t side = 512;       // of the square noise picture
  rlim_t limit = 64 * 1024;  // bytes the file may grow to
};

// Noise compresses badly, so every format's output is far above the limit.
Hdr_image noisy_picture(uint32_t side) {
  Hdr_image img(side, side, 1, 3, 0.f);
  unsigned state = 12345;
  for (float *v = img.data(), *end = v + img.size(); v < end; ++v) {
    state = state * 1103515245u + 12345u;
    *v = float((state >> 16) & 255);
  }
  img.type = k_type_new_ldr;
  return img;
}

// Runs in the child: 0 when the write failed with a message naming the user's file (not a
// temporary one) and the old file is unchanged.
int save_under_limit(const Full_disk_case& c, const Temp_dir& dir) {
  const std::string path = dir.file(c.file);
  const std::string old = "the user's old file";
  if (!write_file_bytes(path, old)) return 2;
  Hdr_image img = noisy_picture(c.side);
  std::string big(c.limit * 4, 'x');
  if (c.type == k_type_unassigned && !write_file_bytes(dir.file("source.bin"), big)) return 2;
  std::vector<unsigned char> noise_bytes(img.data(), img.data() + img.size());
  std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
  const rlimit limit{c.limit, c.limit};
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
  bool threw = false;
  std::string message;
  bool write_error = false;
  try {
    if (c.type == k_type_unassigned)
      copy_file(path, dir.file("source.bin"));
    else if (c.type == k_type_new_ldr)
      write_jpeg(path, noise_bytes.data(), c.side, c.side);
    else
      save_image_as(img, path, c.type);
  } catch (const Write_error& e) {
    threw = write_error = true;
    message = e.what();
  } catch (const std::exception& e) {
    threw = true;
    message = e.what();
  }
  // The thumbnail writer fails silently by design; every other writer must report.
  if (!threw && c.type != k_type_new_ldr) return 3;
  if (threw && c.message && (!write_error || message != c.message + path)) return 5;
  if (threw && message.find("'" + path + "'") == std::string::npos &&
      message.find(": " + path) == std::string::npos)
    return 6;
  return read_file_bytes(path) == old ? 0 : 4;
}

class FullDisk : public ::testing::TestWithParam<Full_disk_case> {};

TEST_P(FullDisk, WriteFailsAndOldFileStays) {
  Temp_dir dir;
  // exit, not _Exit: the leak check at exit of a sanitizer build runs in the child too, so
  // a writer that leaks on a failed write fails here.
  EXPECT_EXIT(std::exit(save_under_limit(GetParam(), dir)), ::testing::ExitedWithCode(0), "");
}

const Full_disk_case k_cases[] = {
    {"Exr", k_type_exr, "a.exr", "Cannot write openexr data to file: "},
    {"Rgbe", k_type_rgbe, "a.hdr", "Cannot write rgbe data to file: "},
    {"Png", k_type_png, "a.png", "Cannot write png data to file: "},
    {"Jpeg", k_type_jpeg, "a.jpg", "Cannot write jpeg image to file: "},
    {"Tiff8", k_type_tiff8, "a.tif", "Cannot write tiff data to file: "},
    {"TiffFloat", k_type_tiff_float, "a.tif", "Cannot write tiff data to file: "},
    {"LogLuv", k_type_tiff_logluv, "a.tif", nullptr},  // the strip writer's own text
    {"CopyFile", k_type_unassigned, "a.bin", "Cannot copy file to: "},
    {"ThumbnailJpeg", k_type_new_ldr, "a.jpg", nullptr},
    // libpng does not flush at its end: a small picture (a crop, a thumbnail-sized one)
    // meets the full disk only when the file is closed.
    {"SmallPng", k_type_png, "a.png", "Cannot write image data to file: ", 16, 300}};

INSTANTIATE_TEST_SUITE_P(Writers, FullDisk, ::testing::ValuesIn(k_cases),
                         [](const ::testing::TestParamInfo<Full_disk_case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace

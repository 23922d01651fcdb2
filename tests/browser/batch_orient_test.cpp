#include "browser/batch_orient.h"

#include <gtest/gtest.h>
#include <libexif/exif-data.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_load.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/exr_fixture.h"
#include "tests/support/file_view_recorder.h"
#include "tests/support/image_compare.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/png_fixture.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/selected_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_w = 32, k_h = 16;  // whole JPEG blocks after either turn

// Interleaved 8-bit RGB in flat 8 x 8 blocks, each block a different colour, so that the
// picture has no symmetry and survives JPEG re-encoding almost exactly.
std::vector<uint8_t> block_pattern() {
  std::vector<uint8_t> rgb(k_w * k_h * 3);
  for (uint32_t y = 0; y < k_h; ++y)
    for (uint32_t x = 0; x < k_w; ++x) {
      const uint32_t block = (y / 8) * (k_w / 8) + x / 8;
      uint8_t* p = &rgb[(y * k_w + x) * 3];
      p[0] = uint8_t(30 + block * 28);
      p[1] = uint8_t(220 - block * 25);
      p[2] = uint8_t((block * 97) % 200 + 20);
    }
  return rgb;
}

Selected_file entry(const std::string& path, uint32_t type) {
  return selected_file(path, type, k_w, k_h);
}

Hdr_image load(const std::string& path, uint32_t type) {
  Hdr_image img;
  load_image(img, path, type);
  return img;
}

// The oracle: the expected picture built pixel by pixel from the original.
Hdr_image rotated_by_hand(const Hdr_image& src, int degrees) {
  const int w = src.width(), h = src.height();
  Hdr_image out(h, w, 1, 3, 0.f);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < w; ++y)
      for (int x = 0; x < h; ++x)
        out(x, y, 0, c) = degrees == 90 ? src(y, h - 1 - x, 0, c) : src(w - 1 - y, x, 0, c);
  return out;
}

Hdr_image flipped_by_hand(const Hdr_image& src, char axis) {
  const int w = src.width(), h = src.height();
  Hdr_image out(w, h, 1, 3, 0.f);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        out(x, y, 0, c) = axis == 'x' ? src(w - 1 - x, y, 0, c) : src(x, h - 1 - y, 0, c);
  return out;
}

std::string write_png_file(const Temp_dir& dir) {
  const std::vector<uint8_t> rgb = block_pattern();
  Png_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  write_png(dir.file("a.png"), layout, rgb.data());
  return dir.file("a.png");
}

std::string write_tiff_file(const Temp_dir& dir) {
  const std::vector<uint8_t> rgb = block_pattern();
  Tiff_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  write_tiff(dir.file("a.tif"), layout, rgb.data());
  return dir.file("a.tif");
}

std::string write_exr_file(const Temp_dir& dir) {
  // Values no 8-bit or half format could hold: every float must come back exactly.
  static std::vector<float> planes[3];
  for (int c = 0; c < 3; ++c) {
    planes[c].resize(k_w * k_h);
    for (uint32_t i = 0; i < k_w * k_h; ++i)
      planes[c][i] = 1e-3f * float(i + 1) * float(c + 1) + 123456.7f * float(c);
  }
  Exr_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  write_exr(dir.file("a.exr"), layout,
            {{"R", planes[0].data()}, {"G", planes[1].data()}, {"B", planes[2].data()}});
  return dir.file("a.exr");
}

std::string write_jpeg_file(const Temp_dir& dir) {
  const std::vector<uint8_t> rgb = block_pattern();
  write_jpeg(dir.file("thumb.jpg"), k_w, k_h, 3, rgb.data(), 95);
  const std::string thumb = read_file_bytes(dir.file("thumb.jpg"));
  EXPECT_TRUE(write_file_bytes(
      dir.file("a.jpg"), with_leading_segment(thumb, exif_app1_segment("Canon", "EOS 5D", thumb))));
  return dir.file("a.jpg");
}

struct Format_case {
  const char* name;
  uint32_t type;
  std::function<std::string(const Temp_dir&)> write;
  Compare_limits limits;
};

const Format_case k_formats[] = {
    {"png", k_type_png, write_png_file, {}},
    {"tiff8", k_type_tiff8, write_tiff_file, {}},
    {"exr", k_type_exr, write_exr_file, {}},
    // Re-encoding smears colour edges by up to a dozen levels; neighbouring blocks differ
    // by 25 levels or more, so a misplaced block still fails.
    {"jpeg", k_type_jpeg, write_jpeg_file, {20, 0, 0.01}},
};

struct Op_case {
  const char* name;
  bool rotate;
  int degrees;
  char axis;
};

const Op_case k_ops[] = {{"left", true, -90, 0},
                         {"right", true, 90, 0},
                         {"vertical", false, 0, 'y'},
                         {"horizontal", false, 0, 'x'}};

class BatchOrient : public ::testing::TestWithParam<std::tuple<Format_case, Op_case>> {};

TEST_P(BatchOrient, MovesEveryPixelAndKeepsTheFormat) {
  const Format_case& format = std::get<0>(GetParam());
  const Op_case& op = std::get<1>(GetParam());
  Temp_dir dir;
  Scripted_messages messages;
  const std::string path = format.write(dir);
  const Hdr_image before = load(path, format.type);
  File_view_recorder view(dir.path());
  const int done = op.rotate ? rotate_files({entry(path, format.type)}, op.degrees)
                             : flip_files({entry(path, format.type)}, op.axis);
  EXPECT_EQ(done, 1);
  EXPECT_TRUE(messages.alerts.empty());
  const Hdr_image after = load(path, format.type);
  const Hdr_image expected =
      op.rotate ? rotated_by_hand(before, op.degrees) : flipped_by_hand(before, op.axis);
  EXPECT_TRUE(images_match(expected, after, format.limits));
  const std::string update = op.rotate ? "rotated " + std::to_string(op.degrees) + " " + path
                                       : std::string("flipped ") + op.axis + " " + path;
  const std::vector<std::string> events = {
      std::string("begin 1 ") + (op.rotate ? "Rotating..." : "Flipping..."), "step 0", update,
      "end"};
  EXPECT_EQ(view.events, events);
}

INSTANTIATE_TEST_SUITE_P(FormatsAndOps, BatchOrient,
                         ::testing::Combine(::testing::ValuesIn(k_formats),
                                            ::testing::ValuesIn(k_ops)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

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

TEST(BatchOrientJpeg, KeepsExifAndCutsTheOldThumbnail) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string path = write_jpeg_file(dir);
  File_view_recorder view;
  ASSERT_EQ(rotate_files({entry(path, k_type_jpeg)}, 90), 1);
  const std::string out = read_file_bytes(path);
  ASSERT_GT(out.size(), 6u);
  EXPECT_EQ(out.substr(0, 4), "\xff\xd8\xff\xe1");
  const size_t length = uint8_t(out[4]) << 8 | uint8_t(out[5]);
  EXPECT_EQ(ifd1_link(out.substr(2, length + 2)), 0u);
  EXPECT_EQ(exif_make(path), "Canon");
  EXPECT_EQ(load(path, k_type_jpeg).width(), int(k_h));
}

// A camera file with a JFIF segment before its EXIF block, taken sideways (Orientation 6):
// every turn keeps the block byte for byte but for the cut thumbnail link and an
// Orientation of 1, since the pixels themselves are turned now.
class BatchOrientExif : public ::testing::TestWithParam<Op_case> {};

TEST_P(BatchOrientExif, KeepsTheBlockAfterJfifWithOrientationNormal) {
  const Op_case& op = GetParam();
  Temp_dir dir;
  Scripted_messages messages;
  const std::string path = dir.file("a.jpg");
  const std::string segment = write_camera_jpeg(path, k_w, k_h, 6);
  File_view_recorder view;
  const int done = op.rotate ? rotate_files({entry(path, k_type_jpeg)}, op.degrees)
                             : flip_files({entry(path, k_type_jpeg)}, op.axis);
  ASSERT_EQ(done, 1);
  const std::string out = read_file_bytes(path);
  EXPECT_EQ(out.substr(2, segment.size()), carried_segment(segment));
}

INSTANTIATE_TEST_SUITE_P(Ops, BatchOrientExif, ::testing::ValuesIn(k_ops),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BatchOrient, CorruptFileInTheMiddleIsAlertedAndSkipped) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string first = write_png_file(dir);
  const std::string third = write_tiff_file(dir);
  const std::string bad = dir.file("bad.png");
  ASSERT_TRUE(write_file_bytes(bad, "\x89PNG\r\n\x1a\nnot really"));
  const Hdr_image first_before = load(first, k_type_png), third_before = load(third, k_type_tiff8);
  File_view_recorder view;
  EXPECT_EQ(
      rotate_files({entry(first, k_type_png), entry(bad, k_type_png), entry(third, k_type_tiff8)},
                   -90),
      2);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_EQ(messages.alerts[0], "Cannot rotate '" + bad + "'. Image data seems to be corrupted.");
  EXPECT_EQ(read_file_bytes(bad), std::string("\x89PNG\r\n\x1a\nnot really"));
  EXPECT_TRUE(images_match(rotated_by_hand(first_before, -90), load(first, k_type_png)));
  EXPECT_TRUE(images_match(rotated_by_hand(third_before, -90), load(third, k_type_tiff8)));
  const std::vector<std::string> events = {
      "begin 3 Rotating...",  "step 0", "rotated -90 " + first, "step 1", "step 2",
      "rotated -90 " + third, "end"};
  EXPECT_EQ(view.events, events);
}

// A tile that fails to follow its turned file stays inside the batch: the file is turned
// and counted, one alert, and the next file is turned too.
TEST(BatchOrient, TileThatFailsToFollowIsAlertedAndTheBatchGoesOn) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string first = write_png_file(dir);
  const std::string second = write_tiff_file(dir);
  const Hdr_image first_before = load(first, k_type_png);
  File_view_recorder view;
  view.answers().file_rotated = [](const std::string&, int) {
    throw std::runtime_error("tile failed");
  };
  int done = 0;
  EXPECT_NO_THROW(done = rotate_files({entry(first, k_type_png), entry(second, k_type_tiff8)}, 90));
  EXPECT_EQ(done, 2);
  EXPECT_TRUE(images_match(rotated_by_hand(first_before, 90), load(first, k_type_png)));
  EXPECT_EQ(messages.alerts, std::vector<std::string>(2, "tile failed"));
}

// libjpeg decodes a file cut short "successfully", filling the rest grey; writing that
// back would replace the photograph's lower part for good.
TEST(BatchOrient, JpegCutShortIsAlertedOnceAndKeepsItsBytes) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::vector<uint8_t> rgb = block_pattern();
  write_jpeg(dir.file("whole.jpg"), k_w, k_h, 3, rgb.data());
  const std::string bytes = read_file_bytes(dir.file("whole.jpg"));
  const std::string cut = dir.file("cut.jpg");
  ASSERT_TRUE(write_file_bytes(cut, cut_in_scan(bytes)));
  File_view_recorder view;
  EXPECT_EQ(rotate_files({entry(cut, k_type_jpeg)}, 90), 0);
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"Cannot rotate '" + cut +
                                                      "'. Image data seems to be corrupted."});
  EXPECT_EQ(read_file_bytes(cut), cut_in_scan(bytes));
}

TEST(BatchOrient, UnreadableFlipNamesTheFile) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string bad = dir.file("bad.exr");
  ASSERT_TRUE(write_file_bytes(bad, "v/1 and no more"));
  File_view_recorder view;
  EXPECT_EQ(flip_files({entry(bad, k_type_exr)}, 'x'), 0);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_EQ(messages.alerts[0], "Cannot flip '" + bad + "'. Image data seems to be corrupted.");
}

// A file deleted or moved by another program since its tile was made: said so by name
// (not called corrupted), its tile taken out of the grid, and the batch goes on.
TEST(BatchOrient, VanishedFileIsToldAndItsTileLeavesTheGrid) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string first = write_png_file(dir);
  const std::string gone = dir.file("gone.exr");
  File_view_recorder view(dir.path());
  EXPECT_EQ(flip_files({entry(gone, k_type_exr), entry(first, k_type_png)}, 'x'), 1);
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"The file '" + gone + "' no longer exists."});
  const std::vector<std::string> events = {
      "begin 2 Flipping...", "step 0", "removed " + gone, "step 1", "flipped x " + first, "end"};
  EXPECT_EQ(view.events, events);
}

// Pictures in 32 x 16 whose files hold more than the writers keep.
std::string write_rgba_png(const Temp_dir& dir, uint8_t alpha) {
  const std::vector<uint8_t> rgb = block_pattern();
  std::vector<uint8_t> rgba;
  for (size_t i = 0; i < rgb.size(); i += 3)
    rgba.insert(rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2], i == 30 ? alpha : uint8_t(255)});
  Png_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  layout.channels = 4;
  write_png(dir.file("a.png"), layout, rgba.data());
  return dir.file("a.png");
}

std::string write_png16(const Temp_dir& dir) {
  const std::vector<uint8_t> rgb = block_pattern();
  std::vector<uint16_t> wide(rgb.begin(), rgb.end());
  for (uint16_t& v : wide) v = uint16_t(v * 257 + 3);
  Png_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  layout.bits = 16;
  write_png(dir.file("a.png"), layout, wide.data());
  return dir.file("a.png");
}

std::string write_rgba_exr(const Temp_dir& dir) {
  static std::vector<float> colour(k_w * k_h, 2.5f), alpha(k_w * k_h, 1.f);
  alpha[5] = 0.f;
  Exr_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  write_exr(
      dir.file("a.exr"), layout,
      {{"R", colour.data()}, {"G", colour.data()}, {"B", colour.data()}, {"A", alpha.data()}});
  return dir.file("a.exr");
}

std::string write_rgba_tiff(const Temp_dir& dir) {
  const std::vector<uint8_t> rgb = block_pattern();
  std::vector<uint8_t> rgba;
  for (size_t i = 0; i < rgb.size(); i += 3)
    rgba.insert(rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2], uint8_t(i / 3 % 2 ? 0 : 255)});
  Tiff_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  layout.samples = 4;
  layout.extra_samples = {EXTRASAMPLE_UNASSALPHA};
  write_tiff(dir.file("a.tif"), layout, rgba.data());
  return dir.file("a.tif");
}

struct Loss_case {
  const char* name;
  uint32_t type;
  std::function<std::string(const Temp_dir&)> write;
  const char* loss;  // null: nothing is lost and the file is turned
};

const Loss_case k_losses[] = {
    {"png_with_a_clear_pixel", k_type_png, [](const Temp_dir& d) { return write_rgba_png(d, 0); },
     "its transparency (alpha channel)"},
    {"png_wholly_opaque", k_type_png, [](const Temp_dir& d) { return write_rgba_png(d, 255); },
     nullptr},
    {"png_16_bit", k_type_png, write_png16, "the precision of its 16-bit samples"},
    {"exr_with_a_clear_pixel", k_type_exr, write_rgba_exr, "its transparency (alpha channel)"},
    {"tiff_half_clear", k_type_tiff8, write_rgba_tiff, "its transparency (alpha channel)"},
};

class BatchOrientLoss : public ::testing::TestWithParam<std::tuple<Loss_case, Op_case>> {};

// Rewritten in place without a question, a file must not come back holding less: a logo
// drawn in its alpha channel would turn into a white picture.
TEST_P(BatchOrientLoss, FileThatWouldLoseDataIsAlertedAndKeepsItsBytes) {
  const Loss_case& c = std::get<0>(GetParam());
  const Op_case& op = std::get<1>(GetParam());
  Temp_dir dir;
  Scripted_messages messages;
  const std::string path = c.write(dir);
  const std::string bytes = read_file_bytes(path);
  File_view_recorder view;
  const std::vector<Selected_file> files = {entry(path, c.type)};
  const int done = op.rotate ? rotate_files(files, op.degrees) : flip_files(files, op.axis);
  if (!c.loss) {
    EXPECT_EQ(done, 1);
    EXPECT_TRUE(messages.alerts.empty());
    EXPECT_NE(read_file_bytes(path), bytes);
    return;
  }
  EXPECT_EQ(done, 0);
  const std::string verb = op.rotate ? "rotate" : "flip";
  EXPECT_EQ(messages.alerts,
            std::vector<std::string>{"Cannot " + verb + " '" + path +
                                     "'. Writing it back would lose " + c.loss + "."});
  EXPECT_EQ(read_file_bytes(path), bytes);
  EXPECT_EQ(view.events, (std::vector<std::string>{
                             "begin 1 " + std::string(op.rotate ? "Rotating..." : "Flipping..."),
                             "step 0", "end"}));
}

INSTANTIATE_TEST_SUITE_P(Files, BatchOrientLoss,
                         ::testing::Combine(::testing::ValuesIn(k_losses),
                                            ::testing::Values(k_ops[1], k_ops[2])),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

TEST(BatchOrient, LogLTiffIsRefusedAndKeepsItsBytes) {
  Temp_dir dir;
  Scripted_messages messages;
  std::vector<float> y(k_w * k_h, 0.5f);
  write_tiff_logl(dir.file("l.tif"), k_w, k_h, y.data());
  const std::string bytes = read_file_bytes(dir.file("l.tif"));
  File_view_recorder view;
  EXPECT_EQ(rotate_files({entry(dir.file("l.tif"), k_type_tiff_logl)}, 90), 0);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(dir.file("l.tif")), std::string::npos);
  EXPECT_EQ(read_file_bytes(dir.file("l.tif")), bytes);
}

TEST(BatchOrient, FileInReadOnlyFolderKeepsItsBytes) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string folder = dir.file("ro/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const Temp_dir source;
  const std::string made = write_png_file(source);
  ASSERT_TRUE(write_file_bytes(folder + "a.png", read_file_bytes(made)));
  ASSERT_EQ(chmod((folder + "a.png").c_str(), 0644), 0);
  const std::string bytes = read_file_bytes(folder + "a.png");
  File_view_recorder view;
  {
    Read_only_dir ro(folder);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_EQ(flip_files({entry(folder + "a.png", k_type_png)}, 'y'), 0);
  }
  EXPECT_EQ(read_file_bytes(folder + "a.png"), bytes);
  EXPECT_EQ(messages.alerts.size(), 1u);
}

// A write-protected file in a writable folder: renaming a new file over it would work,
// but would undo the protection the user set.
TEST(BatchOrient, WriteProtectedFileKeepsItsBytes) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string path = write_png_file(dir);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  const std::string bytes = read_file_bytes(path);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(seteuid(65534), 0);  // root may write any file
  }
  File_view_recorder view;
  const int done = rotate_files({entry(path, k_type_png)}, 90);
  if (root) {
    ASSERT_EQ(seteuid(0), 0);
  }
  EXPECT_EQ(done, 0);
  EXPECT_EQ(read_file_bytes(path), bytes);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(path), std::string::npos);
}

TEST(BatchOrient, EmptySelectionDoesNothing) {
  File_view_recorder view;
  EXPECT_EQ(rotate_files({}, 90), 0);
  EXPECT_EQ(flip_files({}, 'x'), 0);
  EXPECT_TRUE(view.events.empty());
}

}  // namespace

// The batch resize and crop loop on real files: output names and formats, unreadable
// files, the overwrite question, and writes that fail without harming any file.
#include "core/batch_image_job.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/image_save.h"
#include "core/platform.h"
#include "core/refusal.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/fake_browser.h"
#include "tests/support/png_fixture.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/selected_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_w = 8, k_h = 6;

Selected_file entry(const std::string& path, uint32_t type) {
  return selected_file(path, type, k_w, k_h);
}

// An 8-bit picture with a gradient, saved as type.
Selected_file write_picture(const std::string& path, uint32_t type) {
  Hdr_image img(k_w, k_h, 1, 3, 0.f);
  img.type = k_type_new_ldr;
  cimg_forXYC(img, x, y, c) img(x, y, 0, c) = float(x * 30 + y * 5 + c * 10);
  save_image_as(img, path, type);
  return entry(path, type);
}

Hdr_image load(const std::string& path, uint32_t type) {
  Hdr_image img;
  load_image(img, path, type);
  return img;
}

// Halves each side, as a resize would.
Image_batch_job halving_job(const std::string& destination) {
  Image_batch_job job;
  job.verb = "resize";
  job.destination = destination;
  job.suffix = "_resize";
  job.prompt_on_overwrite = true;
  job.transform = [](Hdr_image& image, const Selected_file&) {
    image.resize(image.width() / 2, image.height() / 2, -100, -100, 1);
  };
  job.transform_failure = "Resize failed. Please specify a smaller resize factor.";
  return job;
}

bool is_directory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

TEST(Batch_output_folder, EndsInASeparator) {
  EXPECT_EQ(batch_output_folder(""), "/");
  EXPECT_EQ(batch_output_folder("/tmp/out"), "/tmp/out/");
  EXPECT_EQ(batch_output_folder("/tmp/out/"), "/tmp/out/");
  EXPECT_EQ(batch_output_folder("C:\\out\\"), "C:\\out\\");
}

TEST(Image_batch, OutputsGetTheSuffixAndKeepEachFilesFormat) {
  Temp_dir src, dst;
  Scripted_messages messages;
  const std::vector<Selected_file> files = {write_picture(src.file("photo.png"), k_type_png),
                                            write_picture(src.file("shot.jpg"), k_type_jpeg)};
  std::vector<std::size_t> steps;
  std::vector<std::string> written;
  Image_batch_job job = halving_job(dst.path());
  job.before_file = [&](std::size_t i) { steps.push_back(i); };
  job.file_written = [&](const std::string& p) { written.push_back(p); };
  EXPECT_EQ(run_image_batch(files, job), 2);
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_EQ(steps, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(written,
            (std::vector<std::string>{dst.file("photo_resize.png"), dst.file("shot_resize.jpg")}));
  const Hdr_image png = load(dst.file("photo_resize.png"), k_type_png);
  EXPECT_EQ(png.width(), int(k_w / 2));
  EXPECT_EQ(png.height(), int(k_h / 2));
  // Nearest neighbour picks (0,0), (2,0), ...: exact 8-bit values survive PNG.
  EXPECT_FLOAT_EQ(png(1, 1, 0, 0), 2 * 30 + 2 * 5);
  EXPECT_EQ(load(dst.file("shot_resize.jpg"), k_type_jpeg).width(), int(k_w / 2));
}

struct Exif_batch_case {
  const char* name;
  bool beside;  // output in the source's folder, else in another
  bool crop;    // crop instead of resize
};

void PrintTo(const Exif_batch_case& c, std::ostream* os) { *os << c.name; }

class Image_batch_exif : public ::testing::TestWithParam<Exif_batch_case> {};

// A camera JPEG (JFIF segment, then its EXIF block, Orientation 6) resized or cropped into a
// new JPEG file keeps the source's block: its thumbnail link cut, its Orientation 1 (the
// pixels were loaded upright and are written as shown), every other byte as it was.
TEST_P(Image_batch_exif, OutputKeepsTheSourcesExifBlock) {
  const Exif_batch_case& c = GetParam();
  Temp_dir src, dst;
  Scripted_messages messages;
  const std::string segment = write_camera_jpeg(src.file("shot.jpg"), k_w, k_h, 6);
  Image_batch_job job = halving_job(c.beside ? src.path() : dst.path());
  if (c.crop) {
    job.verb = "crop";
    job.suffix = "_crop";
    job.transform = [](Hdr_image& image, const Selected_file&) {
      image.crop(1, 1, image.width() - 2, image.height() - 2);
    };
  }
  ASSERT_EQ(run_image_batch({entry(src.file("shot.jpg"), k_type_jpeg)}, job), 1);
  const std::string out =
      read_file_bytes((c.beside ? src : dst).file(c.crop ? "shot_crop.jpg" : "shot_resize.jpg"));
  EXPECT_EQ(out.substr(0, 2), "\xff\xd8");
  EXPECT_EQ(out.substr(2, segment.size()), carried_segment(segment));
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, Image_batch_exif,
    ::testing::Values(Exif_batch_case{"resize_into_another_folder", false, false},
                      Exif_batch_case{"crop_into_another_folder", false, true},
                      Exif_batch_case{"resize_beside_the_source", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Image_batch, SixteenBitTiffComesBackAsFloatTiff) {
  Temp_dir src, dst;
  Scripted_messages messages;
  Tiff_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  layout.bits = 16;
  std::vector<uint16_t> samples(k_w * k_h * 3, 40000);
  write_tiff(src.file("deep.tif"), layout, samples.data());
  ASSERT_EQ(
      run_image_batch({entry(src.file("deep.tif"), k_type_tiff_float)}, halving_job(dst.path())),
      1);
  TIFF* tif = TIFFOpen(dst.file("deep_resize.tif").c_str(), "r");
  ASSERT_NE(tif, nullptr);
  uint16_t bits = 0, format = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
  TIFFClose(tif);
  EXPECT_EQ(bits, 32);
  EXPECT_EQ(format, SAMPLEFORMAT_IEEEFP);
}

TEST(Image_batch, UnreadableFileIsNamedAndTheBatchGoesOn) {
  Temp_dir src, dst;
  Scripted_messages messages;
  ASSERT_TRUE(write_file_bytes(src.file("bad.png"), "not a picture"));
  const std::vector<Selected_file> files = {entry(src.file("bad.png"), k_type_png),
                                            write_picture(src.file("good.png"), k_type_png)};
  EXPECT_EQ(run_image_batch(files, halving_job(dst.path())), 1);
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"Cannot resize '" + src.file("bad.png") +
                                                      "'. Image data seems to be corrupted."});
  EXPECT_FALSE(file_exists(dst.file("bad_resize.png")));
  EXPECT_TRUE(file_exists(dst.file("good_resize.png")));
}

// A JPEG cut short decodes with libjpeg's grey fill: it is alerted once and skipped, never
// written out as a picture.
TEST(Image_batch, JpegCutShortIsAlertedOnceAndSkipped) {
  Temp_dir src, dst;
  Scripted_messages messages;
  Hdr_image img(64, 48, 1, 3, 0.f);
  img.type = k_type_new_ldr;
  cimg_forXYC(img, x, y, c) img(x, y, 0, c) = float((x * 7 + y * 3 + c * 50) % 256);
  save_image_as(img, src.file("whole.jpg"), k_type_jpeg);
  const std::string bytes = read_file_bytes(src.file("whole.jpg"));
  ASSERT_TRUE(write_file_bytes(src.file("cut.jpg"), cut_in_scan(bytes)));
  const std::vector<Selected_file> files = {entry(src.file("cut.jpg"), k_type_jpeg),
                                            write_picture(src.file("good.png"), k_type_png)};
  EXPECT_EQ(run_image_batch(files, halving_job(dst.path())), 1);
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"Cannot resize '" + src.file("cut.jpg") +
                                                      "'. Image data seems to be corrupted."});
  EXPECT_FALSE(file_exists(dst.file("cut_resize.jpg")));
  EXPECT_TRUE(file_exists(dst.file("good_resize.png")));
}

TEST(Image_batch, ExistingOutputIsReplacedOnlyWhenAllowed) {
  Temp_dir src, dst;
  const Selected_file file = write_picture(src.file("a.png"), k_type_png);
  const std::string out = dst.file("a_resize.png");
  struct Case {
    bool prompt;
    int answer;
    bool replaced;
    bool asked;
  } cases[] = {{true, 0, false, true}, {true, 1, true, true}, {false, 0, true, false}};
  for (const Case& c : cases) {
    ASSERT_TRUE(write_file_bytes(out, "the user's file"));
    Scripted_messages messages;
    messages.answers.push_back(c.answer);
    Image_batch_job job = halving_job(dst.path());
    job.prompt_on_overwrite = c.prompt;
    EXPECT_EQ(run_image_batch({file}, job), c.replaced ? 1 : 0);
    EXPECT_EQ(read_file_bytes(out) != "the user's file", c.replaced) << c.prompt << c.answer;
    if (c.asked)
      EXPECT_EQ(messages.questions,
                std::vector<std::string>{out + " exists. Do you want to overwrite?"});
    else
      EXPECT_TRUE(messages.questions.empty());
  }
}

TEST(Image_batch, FailedWriteIsAlertedWithThePathAndTheBatchGoesOn) {
  Temp_dir src, dst;
  Scripted_messages messages;
  // A folder where the first output should go: no file can replace it.
  ASSERT_EQ(mkdir(dst.file("a_resize.png").c_str(), 0755), 0);
  const std::vector<Selected_file> files = {write_picture(src.file("a.png"), k_type_png),
                                            write_picture(src.file("b.png"), k_type_png)};
  Image_batch_job job = halving_job(dst.path());
  job.prompt_on_overwrite = false;
  std::vector<std::string> written;
  job.file_written = [&](const std::string& p) { written.push_back(p); };
  EXPECT_EQ(run_image_batch(files, job), 1);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(dst.file("a_resize.png")), std::string::npos);
  EXPECT_TRUE(is_directory(dst.file("a_resize.png")));
  EXPECT_EQ(written, std::vector<std::string>{dst.file("b_resize.png")});
}

TEST(Image_batch, FailedWriteInPlaceKeepsTheOriginalBytes) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string folder = dir.file("ro/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const Selected_file file = write_picture(folder + "a.png", k_type_png);
  ASSERT_EQ(chmod(file.path.c_str(), 0644), 0);
  const std::string bytes = read_file_bytes(file.path);
  Image_batch_job job = halving_job(folder);
  job.suffix = "";  // the output is the source itself
  job.prompt_on_overwrite = false;
  {
    Read_only_dir ro(folder);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_EQ(run_image_batch({file}, job), 0);
  }
  EXPECT_EQ(read_file_bytes(file.path), bytes);
  // The folder is refused before the file is touched.
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"Destination directory is not accessible!"});
}

TEST(Image_batch, UnusableDestinationIsAlertedOnceAndNothingIsWritten) {
  enum Kind { missing, plain_file, read_only };
  struct Case {
    const char* what;
    Kind kind;
  };
  const Case cases[] = {{"missing folder", missing},
                        {"a file, not a folder", plain_file},
                        {"folder that cannot be written", read_only}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Temp_dir src, dst;
    Scripted_messages messages;
    const std::vector<Selected_file> files = {write_picture(src.file("a.png"), k_type_png),
                                              write_picture(src.file("b.png"), k_type_png),
                                              write_picture(src.file("c.png"), k_type_png)};
    std::string destination = dst.file("missing");
    if (c.kind == plain_file) {
      destination = dst.file("file");
      ASSERT_TRUE(write_file_bytes(destination, "not a folder"));
    } else if (c.kind == read_only) {
      destination = dst.file("ro/");
      ASSERT_EQ(mkdir(destination.c_str(), 0755), 0);
    }
    Image_batch_job job = halving_job(destination);
    std::vector<std::string> written;
    job.file_written = [&](const std::string& p) { written.push_back(p); };
    int result = -1;
    if (c.kind == read_only) {
      Read_only_dir ro(destination);
      if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
      result = run_image_batch(files, job);
    } else {
      result = run_image_batch(files, job);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(messages.alerts,
              std::vector<std::string>{"Destination directory is not accessible!"});
    EXPECT_TRUE(messages.questions.empty());
    EXPECT_TRUE(written.empty());
    EXPECT_FALSE(file_exists(batch_output_folder(destination) + "a_resize.png"));
    EXPECT_FALSE(file_exists(src.file("a_resize.png")));
  }
}

TEST(Image_batch, RefusedAndFailedTransformsSkipTheFile) {
  Temp_dir src, dst;
  Scripted_messages messages;
  const std::vector<Selected_file> files = {write_picture(src.file("a.png"), k_type_png),
                                            write_picture(src.file("b.png"), k_type_png),
                                            write_picture(src.file("c.png"), k_type_png)};
  Image_batch_job job = halving_job(dst.path());
  job.transform = [](Hdr_image&, const Selected_file& f) {
    if (f.name == "a.png") throw Refusal("refused " + f.path);
    if (f.name == "b.png") throw std::bad_alloc();
  };
  EXPECT_EQ(run_image_batch(files, job), 1);
  EXPECT_EQ(messages.alerts,
            (std::vector<std::string>{"refused " + src.file("a.png"), job.transform_failure}));
  EXPECT_FALSE(file_exists(dst.file("a_resize.png")));
  EXPECT_FALSE(file_exists(dst.file("b_resize.png")));
  EXPECT_TRUE(file_exists(dst.file("c_resize.png")));
}

// A job without a failure text of its own tells the transform's reason with the file; a
// refusal still stands as it is.
TEST(Image_batch, WithoutAFailureTextTheTransformsReasonNamesTheFile) {
  Temp_dir src, dst;
  Scripted_messages messages;
  const std::vector<Selected_file> files = {write_picture(src.file("a.png"), k_type_png),
                                            write_picture(src.file("b.png"), k_type_png)};
  Image_batch_job job = halving_job(dst.path());
  job.transform_failure.clear();
  job.transform = [](Hdr_image&, const Selected_file& f) {
    if (f.name == "a.png") throw std::invalid_argument("gamma must be a positive number");
    throw Refusal("refused " + f.path);
  };
  EXPECT_EQ(run_image_batch(files, job), 0);
  EXPECT_EQ(messages.alerts, (std::vector<std::string>{"Cannot resize '" + src.file("a.png") +
                                                           "'. gamma must be a positive number",
                                                       "refused " + src.file("b.png")}));
}

// With protect_sources, an output that names a file of the batch, by any spelling or
// through a link, is refused before anything is read, and the rest of the batch runs.
TEST(Image_batch, ProtectedSourcesAreNeverReplaced) {
  Temp_dir dir;
  Scripted_messages messages;
  const Selected_file a = write_picture(dir.file("a.png"), k_type_png);
  const Selected_file b = write_picture(dir.file("b.png"), k_type_png);
  ASSERT_EQ(symlink(dir.file("b.png").c_str(), dir.file("link.png").c_str()), 0);
  const std::string a_bytes = read_file_bytes(a.path), b_bytes = read_file_bytes(b.path);
  const Selected_file c = write_picture(dir.file("c.png"), k_type_png);
  Image_batch_job job = halving_job("");
  job.protect_sources = true;
  job.prompt_on_overwrite = false;
  job.output_type = k_type_jpeg;
  job.output_path = [&](const Selected_file& f) {
    if (f.name == "a.png") return dir.path() + "./a.png";  // itself
    if (f.name == "b.png") return dir.file("link.png");    // b through the link
    return dir.file("c_small.jpg");
  };
  std::vector<std::string> written;
  job.file_written = [&](const std::string& p) { written.push_back(p); };
  EXPECT_EQ(run_image_batch({a, b, c}, job), 1);
  ASSERT_EQ(messages.alerts.size(), 2u);
  EXPECT_EQ(messages.alerts[0], "Cannot resize '" + a.path + "'. Its output '" + dir.path() +
                                    "./a.png' is one of the files of this batch.");
  EXPECT_NE(messages.alerts[1].find("'" + b.path + "'"), std::string::npos);
  EXPECT_EQ(read_file_bytes(a.path), a_bytes);
  EXPECT_EQ(read_file_bytes(b.path), b_bytes);
  EXPECT_EQ(written, (std::vector<std::string>{dir.file("c_small.jpg")}));
  EXPECT_EQ(load(dir.file("c_small.jpg"), k_type_jpeg).width(), int(k_w / 2));
}

// Two sources of one base name (from two folders) meet in one output: the first writes it,
// the second is alerted and skipped, never asked about the file the batch just wrote.
TEST(Image_batch, OneOutputIsNeverWrittenTwice) {
  Temp_dir one, two, dst;
  Scripted_messages messages;
  const Selected_file first = write_picture(one.file("a.png"), k_type_png);
  Selected_file second = write_picture(two.file("a.png"), k_type_png);
  Hdr_image dark(k_w, k_h, 1, 3, 7.f);
  dark.type = k_type_new_ldr;
  save_image_as(dark, second.path, k_type_png);
  std::vector<std::string> written;
  Image_batch_job job = halving_job(dst.path());
  job.file_written = [&](const std::string& p) { written.push_back(p); };
  EXPECT_EQ(run_image_batch({first, second}, job), 1);
  const std::string out = dst.file("a_resize.png");
  EXPECT_EQ(messages.alerts, std::vector<std::string>{
                                 "Cannot resize '" + second.path + "'. Its output '" + out +
                                 "' was already written from '" + first.path + "' in this batch."});
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_EQ(written, std::vector<std::string>{out});
  EXPECT_FLOAT_EQ(load(out, k_type_png)(1, 1, 0, 0), 2 * 30 + 2 * 5);  // the first's pixels
}

// A file written over itself (its own folder, no suffix) that holds a transparent alpha
// channel would come back opaque: alerted and left as it is, without a question.
TEST(Image_batch, InPlaceOutputThatWouldLoseTransparencyIsRefused) {
  Temp_dir dir;
  Scripted_messages messages;
  std::vector<uint8_t> rgba(size_t(k_w) * k_h * 4, 200);
  rgba[3] = 0;
  Png_layout layout;
  layout.width = k_w;
  layout.height = k_h;
  layout.channels = 4;
  write_png(dir.file("logo.png"), layout, rgba.data());
  const std::string bytes = read_file_bytes(dir.file("logo.png"));
  Image_batch_job job = halving_job(dir.path());
  job.suffix = "";
  messages.answers.push_back(1);  // "Overwrite", were it asked
  EXPECT_EQ(run_image_batch({entry(dir.file("logo.png"), k_type_png)}, job), 0);
  EXPECT_EQ(messages.alerts,
            std::vector<std::string>{"Cannot resize '" + dir.file("logo.png") +
                                     "'. Writing it back would lose its transparency (alpha "
                                     "channel)."});
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_EQ(read_file_bytes(dir.file("logo.png")), bytes);
}

// A selected file deleted by another program: said so by name, its tile removed.
TEST(Image_batch, VanishedFileIsToldAndItsTileRemoved) {
  Temp_dir src, dst;
  Scripted_messages messages;
  Fake_browser browser;
  std::vector<std::string> removed;
  browser.answers().file_removed = [&](const std::string& p) { removed.push_back(p); };
  const std::vector<Selected_file> files = {entry(src.file("gone.png"), k_type_png),
                                            write_picture(src.file("good.png"), k_type_png)};
  EXPECT_EQ(run_image_batch(files, halving_job(dst.path())), 1);
  EXPECT_EQ(messages.alerts,
            std::vector<std::string>{"The file '" + src.file("gone.png") + "' no longer exists."});
  EXPECT_EQ(removed, std::vector<std::string>{src.file("gone.png")});
  EXPECT_TRUE(file_exists(dst.file("good_resize.png")));
}

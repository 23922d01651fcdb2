// The HDR creation run on exposure files written by the tests: output names, the
// overwrite question, single and batch runs, and every failure that must not lose a file.
#include "hdr/hdr_creation.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cmath>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/header_probe.h"
#include "core/image_load.h"
#include "core/platform.h"
#include "hdr/exposure_alignment.h"
#include "hdr/hdr_assembly.h"
#include "hdr/hdr_output_types.h"
#include "tests/support/exposure_series.h"
#include "tests/support/image_compare.h"
#include "tests/support/oriented_jpeg.h"
#include "tests/support/png_fixture.h"
#include "tests/support/progress_recorder.h"
#include "tests/support/refusal.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"

namespace {

constexpr uint32_t k_w = 12, k_h = 8;

// True when the folder holds anything besides "." and "..".
bool file_exists_in(const Temp_dir& dir) {
  DIR* d = opendir(dir.path().c_str());
  if (!d) return false;
  int entries = 0;
  while (dirent* e = readdir(d))
    if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++entries;
  closedir(d);
  return entries > 0;
}

// -- Output names -------------------------------------------------------------------

struct Name_case {
  std::string destination;
  std::string base;
  uint64_t k;
  std::string expected;
};

class Output_names : public ::testing::TestWithParam<Name_case> {};

TEST_P(Output_names, SeparatorOnlyWhereTheFolderLacksOne) {
  const Name_case& c = GetParam();
  EXPECT_EQ(numbered_output_path(c.destination, c.base, c.k, ".exr"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Output_names,
                         ::testing::Values(Name_case{"/out", "image", 0, "/out/image0.exr"},
                                           Name_case{"/out/", "image", 1, "/out/image1.exr"},
                                           Name_case{"C:\\out\\", "image", 2,
                                                     "C:\\out\\image2.exr"},
                                           Name_case{"", "image", 3, "image3.exr"},
                                           Name_case{"/out", "", 12, "/out/12.exr"},
                                           Name_case{"/out", "img1", 1, "/out/img11.exr"}));

TEST(OutputTypes, EveryIndexHasItsCodeAndNothingSelectedFallsBackToTheFirst) {
  Hdr_creation_settings s;
  s.destination = "/d";
  s.base_name = "b";
  const std::pair<int, std::pair<uint32_t, std::string>> hdr[] = {
      {0, {k_type_exr, "/d/b4.exr"}},         {1, {k_type_rgbe, "/d/b4.hdr"}},
      {2, {k_type_tiff_logluv, "/d/b4.tif"}}, {3, {k_type_tiff_float, "/d/b4.tif"}},
      {-1, {k_type_exr, "/d/b4.exr"}},        {7, {k_type_exr, "/d/b4.exr"}}};
  for (const auto& [index, want] : hdr) {
    s.hdr_type_index = index;
    std::string path;
    uint32_t type = 99;
    hdr_file_name(s, 4, path, type);
    EXPECT_EQ(type, want.first) << index;
    EXPECT_EQ(path, want.second) << index;
  }
  const std::pair<int, std::pair<uint32_t, std::string>> ldr[] = {{0, {k_type_jpeg, "/d/b4.jpg"}},
                                                                  {1, {k_type_tiff8, "/d/b4.tif"}},
                                                                  {2, {k_type_png, "/d/b4.png"}},
                                                                  {-1, {k_type_jpeg, "/d/b4.jpg"}}};
  for (const auto& [index, want] : ldr) {
    s.ldr_type_index = index;
    std::string path;
    uint32_t type = 99;
    ldr_file_name(s, 4, path, type);
    EXPECT_EQ(type, want.first) << index;
    EXPECT_EQ(path, want.second) << index;
  }
}

TEST(OutputTypes, TiffForBothFilesCollidesOnlyWhenBothAreSaved) {
  Hdr_creation_settings s;
  s.batch = true;
  s.destination = "/d/";
  s.base_name = "b";
  s.tone_map = true;
  s.hdr_type_index = 3;
  s.ldr_type_index = 1;
  EXPECT_EQ(colliding_output_path(s), "/d/b0.tif");
  s.hdr_type_index = 2;
  EXPECT_EQ(colliding_output_path(s), "/d/b0.tif");
  s.save_both = false;  // "Save only LDR"
  EXPECT_EQ(colliding_output_path(s), "");
  s.save_both = true;
  s.tone_map = false;
  EXPECT_EQ(colliding_output_path(s), "");
  s.tone_map = true;
  s.ldr_type_index = 0;
  EXPECT_EQ(colliding_output_path(s), "");
}

// -- The overwrite question -----------------------------------------------------------

TEST(ConfirmOverwrite, AsksOnlyForAnExistingFileWithThePromptOn) {
  Temp_dir dir;
  Scripted_messages messages;
  Message_questions questions;
  const std::string path = dir.file("a%s.exr");
  EXPECT_FALSE(confirm_overwrite(path, true, questions));  // no file yet
  ASSERT_TRUE(write_file_bytes(path, "x"));
  EXPECT_FALSE(confirm_overwrite(path, false, questions));
  EXPECT_TRUE(messages.questions.empty());

  messages.answers = {0, 1};  // "Skip", then "Overwrite"
  EXPECT_TRUE(confirm_overwrite(path, true, questions));
  EXPECT_FALSE(confirm_overwrite(path, true, questions));
  ASSERT_EQ(messages.questions.size(), 2u);
  EXPECT_EQ(messages.questions[0], path + " exists. Do you want to overwrite it?");
}

// -- Runs -------------------------------------------------------------------------------

// Exposure files of one scene: a smooth radiance rendered with the sRGB inverse at the
// given relative exposures, written as PNG.
class Creation_run : public ::testing::Test {
 protected:
  void SetUp() override {
    radiance.resize(size_t(k_w) * k_h * 3);
    for (uint32_t c = 0; c < 3; ++c)
      for (uint32_t y = 0; y < k_h; ++y)
        for (uint32_t x = 0; x < k_w; ++x)
          radiance[(c * k_h + y) * k_w + x] = 0.02f * std::pow(1.6f, float(x + y)) * (1 + 0.2f * c);
    settings.destination = out.path();
    settings.base_name = "image";
    settings.prompt_on_overwrite = true;
  }

  // Writes the series under name + m + ".png" in folder and returns its group.
  Exposure_inputs write_group(const std::string& folder, const std::string& name,
                              const std::vector<float>& times) {
    Response_state responses;
    Exposure_series series;
    render_exposures(series, radiance, k_w, k_h, times, responses.fixed.f_inv_srgb.data());
    Exposure_inputs group;
    for (size_t m = 0; m < times.size(); ++m) {
      std::vector<uint8_t> rgb(size_t(k_w) * k_h * 3);
      for (uint64_t p = 0; p < uint64_t(k_w) * k_h; ++p)
        for (int c = 0; c < 3; ++c) rgb[p * 3 + c] = series.pixels[m][c * k_w * k_h + p];
      const std::string path = folder + name + std::to_string(m) + ".png";
      Png_layout layout;
      layout.width = k_w;
      layout.height = k_h;
      write_png(path, layout, rgb.data());
      group.push_back({path, k_type_png, k_w, k_h, times[m]});
    }
    return group;
  }

  // The merge as the dialog runs it with "sRGB"; counts its calls.
  Build_hdr_fn merge() {
    return [this](Hdr_image& r, std::vector<Exposure_planes>& e, const std::vector<float>& t,
                  std::vector<int>&) {
      ++merges;
      Assembly_settings a;
      a.response_choice = k_response_srgb;
      return build_hdr(*state, r, e, t, a, progress, questions);
    };
  }

  Creation_end run(const std::vector<Exposure_inputs>& groups) {
    return run_hdr_creation(
        groups, settings, merge(), [this](const std::string& p) { written.push_back(p); }, progress,
        questions, single);
  }

  // The group merged straight from its files, as a reference.
  Hdr_image reference(const Exposure_inputs& group) {
    std::vector<Hdr_image> loaded(group.size());
    std::vector<std::vector<uint8_t>> bytes(group.size());
    std::vector<Exposure_planes> planes;
    std::vector<float> times;
    for (size_t m = 0; m < group.size(); ++m) {
      load_image(loaded[m], group[m].path, group[m].type);
      for (uint64_t i = 0; i < loaded[m].size(); ++i)
        bytes[m].push_back(uint8_t(loaded[m].data()[i]));
      planes.push_back({bytes[m].data(), k_w, k_h, 3});
      times.push_back(group[m].exposure);
    }
    Hdr_image result(k_w, k_h, 1, 3, 0.f);
    auto s = std::make_unique<Assembly_state>();
    Silent_progress silent;
    Assembly_settings a;
    EXPECT_EQ(build_hdr(*s, result, planes, times, a, silent, questions), 0);
    return result;
  }

  std::vector<float> radiance;
  Temp_dir in, out;
  Scripted_messages messages;
  Message_questions questions;
  Progress_recorder progress;
  std::unique_ptr<Assembly_state> state = std::make_unique<Assembly_state>();
  Hdr_creation_settings settings;
  std::vector<std::string> written;
  std::unique_ptr<Hdr_image> single;
  int merges = 0;
};

TEST_F(Creation_run, SingleCreationHandsBackTheMergeAndWritesNothing) {
  const Exposure_inputs group = write_group(in.path(), "e", {1, 4, 16, 64, 256});
  ASSERT_EQ(run({group}), Creation_end::opened);
  ASSERT_TRUE(single);
  EXPECT_EQ(single->type, k_type_new_hdr);
  EXPECT_TRUE(images_match(reference(group), *single));
  EXPECT_TRUE(written.empty());
  EXPECT_FALSE(file_exists_in(out));
  for (const auto& c : progress.calls) EXPECT_NE(c.what, "show_overall");
  EXPECT_EQ(progress.phases().front(), "Loading images");
}

TEST_F(Creation_run, BatchSavesEachGroupUnderItsNumberWithAnOverallBar) {
  const Exposure_inputs a = write_group(in.path(), "a", {1, 4, 16});
  const Exposure_inputs b = write_group(in.path(), "b", {2, 8});
  settings.batch = true;
  ASSERT_EQ(run({a, b}), Creation_end::finished);
  EXPECT_FALSE(single);
  EXPECT_EQ(written, (std::vector<std::string>{out.file("image0.exr"), out.file("image1.exr")}));
  Hdr_image saved0(out.file("image0.exr"), k_type_exr), saved1(out.file("image1.exr"), k_type_exr);
  EXPECT_TRUE(images_match(reference(a), saved0, {1e-6, 1e-6, 0}));
  EXPECT_TRUE(images_match(reference(b), saved1, {1e-6, 1e-6, 0}));

  std::vector<std::string> overall;
  for (const auto& c : progress.calls)
    if (c.what.find("overall") != std::string::npos)
      overall.push_back(c.what + " " + std::to_string(int(c.value)) + " " +
                        std::to_string(int(c.maximum)) + " " + c.label);
  EXPECT_EQ(overall, (std::vector<std::string>{"show_overall 0 2 Overall", "update_overall 1 0 ",
                                               "update_overall 2 0 ", "hide_overall 0 0 "}));
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Creation_run, TonemapSavesBothOrOnlyTheDisplayableCopy) {
  const Exposure_inputs a = write_group(in.path(), "a", {1, 4, 16});
  settings.batch = true;
  settings.tone_map = true;
  settings.ldr_type_index = 2;  // PNG
  ASSERT_EQ(run({a}), Creation_end::finished);
  EXPECT_EQ(written, (std::vector<std::string>{out.file("image0.exr"), out.file("image0.png")}));
  Hdr_image ldr(out.file("image0.png"), k_type_png);
  EXPECT_EQ(ldr.width(), int(k_w));
  EXPECT_GT(ldr.max(), 100.f);  // a displayable picture, not the tiny irradiances
  EXPECT_EQ(progress.phases().back(), "Tonemapping");

  Temp_dir only;
  settings.destination = only.path();
  settings.save_both = false;
  written.clear();
  ASSERT_EQ(run({a}), Creation_end::finished);
  EXPECT_EQ(written, std::vector<std::string>{only.file("image0.png")});
  EXPECT_FALSE(file_exists(only.file("image0.exr")));
}

TEST_F(Creation_run, SkipAtTheHdrQuestionKeepsTheFileAndTheCopyAndGoesOn) {
  const Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  const Exposure_inputs b = write_group(in.path(), "b", {1, 4});
  ASSERT_TRUE(write_file_bytes(out.file("image0.exr"), "mine"));
  settings.batch = true;
  settings.tone_map = true;
  messages.answers = {0};  // "Skip"
  ASSERT_EQ(run({a, b}), Creation_end::finished);
  EXPECT_EQ(read_file_bytes(out.file("image0.exr")), "mine");
  EXPECT_FALSE(file_exists(out.file("image0.jpg")));
  EXPECT_EQ(written, (std::vector<std::string>{out.file("image1.exr"), out.file("image1.jpg")}));
  EXPECT_EQ(messages.questions.size(), 1u);
}

TEST_F(Creation_run, WithoutThePromptAnExistingOutputIsReplacedWhole) {
  const Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  ASSERT_TRUE(write_file_bytes(out.file("image0.exr"), "old"));
  settings.batch = true;
  settings.prompt_on_overwrite = false;
  ASSERT_EQ(run({a}), Creation_end::finished);
  EXPECT_TRUE(messages.questions.empty());
  Hdr_image saved(out.file("image0.exr"), k_type_exr);
  EXPECT_TRUE(images_match(reference(a), saved, {1e-6, 1e-6, 0}));
}

TEST_F(Creation_run, AnExposureIsNeverOverwrittenByAnOutput) {
  // The exposures lie in the destination and are named like the outputs.
  const Exposure_inputs a = write_group(out.path(), "image", {1, 4});
  const std::string before = read_file_bytes(out.file("image0.png"));
  settings.batch = true;
  settings.prompt_on_overwrite = false;
  settings.tone_map = true;
  settings.save_both = false;
  settings.ldr_type_index = 2;  // image0.png: the first exposure
  ASSERT_EQ(run({a}), Creation_end::finished);
  EXPECT_EQ(read_file_bytes(out.file("image0.png")), before);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(out.file("image0.png")), std::string::npos);
  EXPECT_TRUE(written.empty());
}

TEST_F(Creation_run, AFailedSaveIsAlertedWithItsPathAndTheBatchGoesOn) {
  const Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  settings.batch = true;
  settings.destination = out.file("gone/");  // no such folder: every save fails
  ASSERT_EQ(run({a, a}), Creation_end::finished);
  EXPECT_EQ(merges, 2);
  ASSERT_EQ(messages.alerts.size(), 2u);
  EXPECT_NE(messages.alerts[0].find(out.file("gone/image0.exr")), std::string::npos);
  EXPECT_NE(messages.alerts[1].find(out.file("gone/image1.exr")), std::string::npos);
  EXPECT_TRUE(written.empty());
}

TEST_F(Creation_run, AnUnreadableExposureSkipsItsGroupInABatchAndStopsASingleCreation) {
  Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  const Exposure_inputs b = write_group(in.path(), "b", {1, 4});
  ASSERT_TRUE(write_file_bytes(a[1].path, "not a png"));
  settings.batch = true;
  ASSERT_EQ(run({a, b}), Creation_end::finished);
  EXPECT_EQ(written, std::vector<std::string>{out.file("image1.exr")});
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(a[1].path), std::string::npos);

  // A single creation has nothing to go on with: it is refused, naming the file.
  settings.batch = false;
  messages.alerts.clear();
  EXPECT_NE(refusal_of([&] { run({a}); }).find(a[1].path), std::string::npos);
  EXPECT_FALSE(single);
  EXPECT_TRUE(messages.alerts.empty());
}

// A JPEG exposure cut short would merge libjpeg's grey fill into the result.
TEST_F(Creation_run, AnExposureCutShortSkipsItsGroupWithOneAlert) {
  Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  const Exposure_inputs b = write_group(in.path(), "b", {1, 4});
  const std::string cut = in.file("a1.jpg");
  write_textured_jpeg(cut, k_w, k_h, 3);
  const std::string bytes = read_file_bytes(cut);
  ASSERT_TRUE(write_file_bytes(cut, cut_in_scan(bytes)));
  a[1].path = cut;
  a[1].type = k_type_jpeg;
  settings.batch = true;
  ASSERT_EQ(run({a, b}), Creation_end::finished);
  EXPECT_EQ(written, std::vector<std::string>{out.file("image1.exr")});
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(cut), std::string::npos);
}

TEST_F(Creation_run, AnExposureOfAnotherSizeOrWithoutAnExposureValueIsRefused) {
  Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  Exposure_inputs b = write_group(in.path(), "b", {1, 4});
  for (auto& e : a) e.width = k_w + 1;  // the header spoke of another size than the file has
  b[0].exposure = 0.f;                  // an exposure time that could not be read
  settings.batch = true;
  ASSERT_EQ(run({a, b}), Creation_end::finished);
  EXPECT_EQ(merges, 0);
  ASSERT_EQ(messages.alerts.size(), 2u);
  EXPECT_NE(messages.alerts[0].find(k_message_size_mismatch), std::string::npos);
  EXPECT_NE(messages.alerts[1].find(b[0].path), std::string::npos);
  EXPECT_TRUE(written.empty());
}

TEST_F(Creation_run, CancelWhileLoadingStopsAndKeepsWhatWasSaved) {
  const Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  settings.batch = true;
  // "Cancel" pressed while the first exposure loads.
  progress.cancel_at_update = 1;
  ASSERT_EQ(run({a, a}), Creation_end::stopped);
  EXPECT_EQ(merges, 0);
  EXPECT_TRUE(written.empty());
  EXPECT_EQ(progress.calls.back().what, "hide_overall");
}

// Exposures the alignment cannot compare (here a frame clipped all over) are merged as
// they are, and the user is told once, after the run, which ones they were: in a batch,
// one warning for all groups.
TEST_F(Creation_run, UnalignedExposuresAreWarnedOfOnceAfterTheRun) {
  constexpr uint32_t w = 240, h = 180;  // room for the alignment's search
  auto write = [&](const std::string& name, bool clipped, float time) {
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    std::mt19937 noise(3);  // the same texture in every unclipped frame
    for (size_t i = 0; i < rgb.size(); i += 3)
      rgb[i] = rgb[i + 1] = rgb[i + 2] = clipped ? 255 : uint8_t(40 + noise() % 150);
    const std::string path = in.path() + name + ".png";
    Png_layout layout;
    layout.width = w;
    layout.height = h;
    write_png(path, layout, rgb.data());
    return Exposure_input{path, k_type_png, w, h, time};
  };
  const Exposure_inputs a = {write("a0", false, 1), write("a1", true, 4)};
  const Exposure_inputs b = {write("b0", false, 1), write("b1", false, 2), write("b2", true, 8)};
  const Build_hdr_fn aligned_merge = [&](Hdr_image& r, std::vector<Exposure_planes>& e,
                                         const std::vector<float>& t,
                                         std::vector<int>& uncompared) {
    Assembly_settings s;
    s.align = true;
    s.align_exposures = align_exposures;
    const int end = build_hdr(*state, r, e, t, s, progress, questions);
    uncompared = s.uncompared_pairs;
    return end;
  };
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_hdr_creation({a}, settings, aligned_merge, nullptr, progress, questions, single),
            Creation_end::opened);
  EXPECT_EQ(messages.alerts, std::vector<std::string>{unaligned_warning({{a[0].path, a[1].path}})});
  EXPECT_NE(messages.alerts[0].find(a[1].path), std::string::npos);

  messages.alerts.clear();
  settings.batch = true;
  settings.prompt_on_overwrite = false;
  EXPECT_EQ(run_hdr_creation({a, b}, settings, aligned_merge, nullptr, progress, questions, single),
            Creation_end::finished);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(messages.alerts, std::vector<std::string>{unaligned_warning(
                                 {{a[0].path, a[1].path}, {b[1].path, b[2].path}})});
}

TEST_F(Creation_run, AStopFromTheMergeEndsTheBatchAfterTheGroupsSaved) {
  const Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  settings.batch = true;
  int calls = 0;
  const Build_hdr_fn second_cancels = [&](Hdr_image& r, std::vector<Exposure_planes>& e,
                                          const std::vector<float>& t, std::vector<int>&) {
    if (++calls == 2) return -1;
    Assembly_settings s;
    return build_hdr(*state, r, e, t, s, progress, questions);
  };
  EXPECT_EQ(
      run_hdr_creation(
          {a, a, a}, settings, second_cancels,
          [this](const std::string& p) { written.push_back(p); }, progress, questions, single),
      Creation_end::stopped);
  EXPECT_EQ(written, std::vector<std::string>{out.file("image0.exr")});
  EXPECT_FALSE(file_exists(out.file("image1.exr")));
}

TEST_F(Creation_run, AThrowingMergeHidesTheOverallBarForTheNextRun) {
  const Exposure_inputs a = write_group(in.path(), "a", {1, 4});
  settings.batch = true;
  const Build_hdr_fn out_of_memory = [](Hdr_image&, std::vector<Exposure_planes>&,
                                        const std::vector<float>&,
                                        std::vector<int>&) -> int { throw std::bad_alloc(); };
  EXPECT_THROW(
      run_hdr_creation({a, a}, settings, out_of_memory, nullptr, progress, questions, single),
      std::bad_alloc);
  ASSERT_FALSE(progress.calls.empty());
  EXPECT_EQ(progress.calls.front().what, "show_overall");
  EXPECT_EQ(progress.calls.back().what, "hide_overall");
  EXPECT_TRUE(written.empty());
  EXPECT_FALSE(single);
}

}  // namespace

// A bracket of photos stored turned (one EXIF Orientation for all, as a camera writes
// them) reaches the merge upright, each exposure at its own brightness.
class Oriented_bracket : public ::testing::TestWithParam<int> {};

TEST_P(Oriented_bracket, ReachesTheMergeUpright) {
  Temp_dir dir;
  const double gains[] = {0.5, 1.0, 1.4};
  Exposure_inputs group;
  for (int m = 0; m < 3; ++m) {
    const std::string path = dir.file("e" + std::to_string(m) + ".jpg");
    write_oriented_jpeg(path, GetParam(), false, gains[m]);
    Exposure_input e{path, k_type_jpeg, 0, 0, float(m + 1)};
    read_jpeg_header(path, e.width, e.height);  // as the tile measures it
    group.push_back(e);
  }
  int merges = 0;
  const Build_hdr_fn merge = [&](Hdr_image& result, std::vector<Exposure_planes>& exposures,
                                 const std::vector<float>&, std::vector<int>&) {
    ++merges;
    EXPECT_EQ(uint32_t(result.width()), k_pattern_w);
    EXPECT_EQ(exposures.size(), 3u);
    for (size_t m = 0; m < exposures.size(); ++m) {
      const Exposure_planes& p = exposures[m];
      EXPECT_TRUE(shows_pattern(
          p.width, p.height,
          [&p](uint32_t x, uint32_t y, int c) {
            return double(p.plane(uint32_t(c))[uint64_t(y) * p.width + x]);
          },
          gains[m]))
          << "exposure " << m;
    }
    return 0;
  };
  Hdr_creation_settings settings;
  Scripted_messages messages;
  Message_questions questions;
  Progress_recorder progress;
  std::unique_ptr<Hdr_image> single;
  EXPECT_EQ(run_hdr_creation({group}, settings, merge, nullptr, progress, questions, single),
            Creation_end::opened);
  EXPECT_EQ(merges, 1);
  EXPECT_TRUE(messages.alerts.empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, Oriented_bracket, ::testing::Range(1, 9));

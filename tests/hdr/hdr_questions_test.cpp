// What HDR creation tells the user, without a window: each refusal is thrown with the
// user's exact words, and the questions and warnings of a run reach the interface passed
// in, in the order the run meets them, while nothing goes to the message seam itself.
#include "hdr/hdr_questions.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/platform.h"
#include "hdr/exposure_groups.h"
#include "hdr/exposure_values.h"
#include "hdr/hdr_assembly.h"
#include "hdr/hdr_creation.h"
#include "tests/support/png_fixture.h"
#include "tests/support/refusal.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint32_t k_w = 4, k_h = 3;

// Every question and warning in one sequence ("ask: text [b0|b1|b2]", "warn: text"),
// answered from a script (0, the first button, once it runs out).
class Recorded_questions : public Hdr_questions {
 public:
  int ask(const std::string& question, const char* b0, const char* b1, const char* b2) override {
    std::string buttons;
    for (const char* b : {b0, b1, b2})
      if (b) buttons += (buttons.empty() ? "" : "|") + std::string(b);
    said.push_back("ask: " + question + " [" + buttons + "]");
    if (answers.empty()) return 0;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  void warn(const std::string& text) override { said.push_back("warn: " + text); }

  std::vector<std::string> said;
  std::deque<int> answers;
};

// A grey PNG exposure, of the test's size unless given another width.
std::string write_exposure(const Temp_dir& dir, const std::string& name, uint8_t level,
                           uint32_t width = k_w) {
  const std::string path = dir.file(name);
  Png_layout layout;
  layout.width = width;
  layout.height = k_h;
  const std::vector<uint8_t> rgb(size_t(width) * k_h * 3, level);
  write_png(path, layout, rgb.data());
  return path;
}

// -- Refusals -------------------------------------------------------------------------

struct Refusal_case {
  const char* name;
  // Runs the refused work in dir; nothing may reach the message seam.
  std::function<void(const Temp_dir& dir, Hdr_questions& questions)> work;
  // The user's message; "<dir>" stands for the test folder.
  std::string text;
};

class HdrRefusals : public ::testing::TestWithParam<Refusal_case> {};

TEST_P(HdrRefusals, ThrowTheUsersMessageAndAlertNothingThemselves) {
  const Refusal_case& c = GetParam();
  Temp_dir dir;
  Scripted_messages messages;
  Recorded_questions questions;
  std::string expected = c.text;
  const size_t at = expected.find("<dir>");
  if (at != std::string::npos) expected.replace(at, 5, dir.path());
  EXPECT_EQ(refusal_of([&] { c.work(dir, questions); }), expected);
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_TRUE(questions.said.empty());
}

Exposure_groups two_records(const Temp_dir& dir) {
  Exposure_record a, b;
  a.path = dir.file("a.jpg");  // no such files: no EXIF to read
  b.path = dir.file("b.jpg");
  return {{a, b}};
}

// Runs the merge of two exposures of the test's size, the second as given.
void merge_two(uint32_t second_width, float second_time, Hdr_questions& questions) {
  std::vector<uint8_t> first(size_t(k_w) * k_h * 3, 100),
      second(size_t(second_width) * k_h * 3, 150);
  std::vector<Exposure_planes> planes = {{first.data(), k_w, k_h, 3},
                                         {second.data(), second_width, k_h, 3}};
  Hdr_image result(k_w, k_h, 1, 3, 0.f);
  auto state = std::make_unique<Assembly_state>();
  Assembly_settings settings;
  Silent_progress progress;
  build_hdr(*state, result, planes, {1.f, second_time}, settings, progress, questions);
}

Hdr_creation_settings batch_into(const std::string& destination) {
  Hdr_creation_settings s;
  s.batch = true;
  s.destination = destination;
  s.base_name = "image";
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HdrRefusals,
    ::testing::Values(
        Refusal_case{"ratio",
                     [](const Temp_dir& dir, Hdr_questions&) {
                       Exposure_groups groups = two_records(dir);
                       exposure_values(groups, k_variation_other, "1");
                     },
                     "Please enter a valid exposure ratio."},
        Refusal_case{"exposure_time",
                     [](const Temp_dir& dir, Hdr_questions&) {
                       Exposure_groups groups = two_records(dir);
                       exposure_values(groups, k_variation_exif, "");
                     },
                     "Cannot read exposure time information from the exif header."},
        Refusal_case{"autodetect",
                     [](const Temp_dir& dir, Hdr_questions& questions) {
                       Grouping_settings settings;
                       settings.batch = true;
                       Exposure_groups groups;
                       group_exposures(two_records(dir)[0], settings, groups, questions);
                     },
                     "Error: Cannot detect which exposures to combine (exif information might "
                     "be missing or incomplete).\nManually specify the number of exposures to "
                     "combine per HDR image."},
        Refusal_case{"grouped_ratio",
                     [](const Temp_dir& dir, Hdr_questions& questions) {
                       Grouping_settings settings;  // "Create HDR...": one group
                       settings.response_choice = k_response_srgb;
                       settings.exposure_variation = k_variation_other;
                       settings.exposure_ratio = "abc";
                       Exposure_groups groups;
                       group_exposures(two_records(dir)[0], settings, groups, questions);
                     },
                     "Please enter a valid exposure ratio."},
        Refusal_case{
            "size",
            [](const Temp_dir&, Hdr_questions& questions) { merge_two(k_w + 1, 2.f, questions); },
            "All images should have the same resolution for HDR creation."},
        Refusal_case{
            "exposure_value",
            [](const Temp_dir&, Hdr_questions& questions) { merge_two(k_w, 0.f, questions); },
            "Cannot create the HDR image: an exposure value is zero, negative or not a "
            "number."},
        Refusal_case{"destination",
                     [](const Temp_dir& dir, Hdr_questions&) {
                       check_batch_output(batch_into(dir.file("gone")));
                     },
                     "Destination directory is not accessible!"},
        Refusal_case{"same_name",
                     [](const Temp_dir& dir, Hdr_questions&) {
                       Hdr_creation_settings s = batch_into(dir.path());
                       s.hdr_type_index = 3;  // "Tiff-Uncompressed (*.tif)"
                       s.ldr_type_index = 1;  // "TIFF (*.tif)"
                       s.tone_map = true;
                       check_batch_output(s);
                     },
                     "The HDR image and its tonemapped copy would both be saved as "
                     "<dir>image0.tif.\nPlease choose another save type for one of them."},
        Refusal_case{"single_size",
                     [](const Temp_dir& dir, Hdr_questions& questions) {
                       const Exposure_inputs group = {
                           {write_exposure(dir, "a.png", 100), k_type_png, k_w, k_h, 1.f},
                           {write_exposure(dir, "b.png", 150, k_w + 1), k_type_png, k_w, k_h, 2.f}};
                       std::unique_ptr<Hdr_image> single;
                       Silent_progress progress;
                       Hdr_creation_settings s;  // a single creation
                       run_hdr_creation({group}, s, nullptr, nullptr, progress, questions, single);
                     },
                     // The second file is wider than the group's first.
                     "All images should have the same resolution for HDR creation.\n<dir>b.png"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HdrRefusals, ASingleCreationOrAnEmptyBatchHasNoOutputToCheck) {
  Temp_dir dir;
  Hdr_creation_settings s = batch_into(dir.file("gone"));
  s.batch = false;
  EXPECT_EQ(refusal_of([&] { check_batch_output(s); }), "");
  s = batch_into(dir.path());
  s.tone_map = true;  // an EXR and a JPEG: two names
  EXPECT_EQ(refusal_of([&] { check_batch_output(s); }), "");
}

// -- Questions and warnings in order ------------------------------------------------------

// A batch of three pairs from another camera than the first file's EXIF named, merged with
// "Recover new response" that cannot recover: the camera warning, the response question
// (answered "Use sRGB", which stays for the later groups), the overwrite question of an
// existing output (answered "Skip"), and the warning for a group whose file cannot be read.
TEST(HdrQuestions, ArriveThroughTheInterfaceInTheOrderOfTheRun) {
  Temp_dir in, out;
  Scripted_messages messages;  // any use of the seam itself would be recorded here
  Recorded_questions questions;
  questions.answers = {1, 0};

  std::vector<Exposure_record> files;
  for (int i = 0; i < 6; ++i) {
    Exposure_record r;
    r.path = write_exposure(in, "e" + std::to_string(i) + ".png", uint8_t(60 + 20 * i));
    files.push_back(r);
  }
  ASSERT_TRUE(write_file_bytes(files[5].path, "not a png"));
  Grouping_settings grouping;
  grouping.batch = true;
  grouping.autodetect = false;
  grouping.exposures_per_hdr = 2;
  grouping.response_choice = k_response_recover;
  grouping.camera_name = "Canon EOS 5D";
  grouping.exposure_variation = 3;  // "1 F-stop"
  Exposure_groups formed;
  group_exposures(files, grouping, formed, questions);
  ASSERT_EQ(formed.size(), 3u);

  std::vector<Exposure_inputs> groups;
  for (const auto& g : formed) {
    Exposure_inputs inputs;
    for (const Exposure_record& r : g) inputs.push_back({r.path, k_type_png, k_w, k_h, r.exposure});
    groups.push_back(inputs);
  }
  ASSERT_TRUE(write_file_bytes(out.file("image1.exr"), "mine"));
  Hdr_creation_settings settings = batch_into(out.path());
  auto state = std::make_unique<Assembly_state>();
  Assembly_settings assembly;
  assembly.response_choice = grouping.response_choice;  // no recovery: it is unreliable
  const Build_hdr_fn merge = [&](Hdr_image& r, std::vector<Exposure_planes>& e,
                                 const std::vector<float>& t, std::vector<int>&) {
    Silent_progress progress;
    return build_hdr(*state, r, e, t, assembly, progress, questions);
  };
  std::vector<std::string> written;
  std::unique_ptr<Hdr_image> single;
  Silent_progress progress;
  ASSERT_EQ(run_hdr_creation(
                groups, settings, merge, [&](const std::string& p) { written.push_back(p); },
                progress, questions, single),
            Creation_end::finished);

  ASSERT_EQ(questions.said.size(), 4u);
  EXPECT_EQ(questions.said[0],
            "warn: Warning: Some of the exposures appear to be captured with a different "
            "camera.\nFor consistency, the camera that captured the first exposure (Canon EOS "
            "5D) will be used.");
  EXPECT_EQ(questions.said[1],
            "ask: Recovered response is unreliable.  This image sequence may not be suitable "
            "for response recovery.\nChoose one of the options:  [Cancel|Use sRGB|Try again]");
  EXPECT_EQ(questions.said[2], "ask: " + out.file("image1.exr") +
                                   " exists. Do you want to overwrite it? [Skip|Overwrite]");
  EXPECT_EQ(questions.said[3].rfind("warn: Cannot read the exposure " + files[5].path + ":\n", 0),
            0u)
      << questions.said[3];
  EXPECT_EQ(assembly.response_choice, k_response_srgb);
  EXPECT_EQ(written, std::vector<std::string>{out.file("image0.exr")});
  EXPECT_EQ(read_file_bytes(out.file("image1.exr")), "mine");
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(messages.questions.empty());
}

}  // namespace

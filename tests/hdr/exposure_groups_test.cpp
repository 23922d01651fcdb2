#include "hdr/exposure_groups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

#include "hdr/exposure_values.h"
#include "hdr/response_tables.h"
#include "tests/support/exposure_exif_fixture.h"
#include "tests/support/refusal.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

// Records named "0", "1", ... carrying their index as capture time unless given times.
std::vector<Exposure_record> named_records(size_t n) {
  std::vector<Exposure_record> records(n);
  for (size_t i = 0; i < n; ++i) records[i].path = std::to_string(i);
  return records;
}

std::vector<std::vector<std::string>> paths_of(const Exposure_groups& groups) {
  std::vector<std::vector<std::string>> out;
  for (const auto& g : groups) {
    out.emplace_back();
    for (const auto& r : g) out.back().push_back(r.path);
  }
  return out;
}

std::vector<size_t> sizes_of(const Exposure_groups& groups) {
  std::vector<size_t> out;
  for (const auto& g : groups) out.push_back(g.size());
  return out;
}

struct Count_case {
  size_t files;
  double per_hdr;
  std::vector<size_t> sizes;
};

void PrintTo(const Count_case& c, std::ostream* os) {
  *os << c.files << " files, " << c.per_hdr << " per HDR";
}

class GroupsByCount : public ::testing::TestWithParam<Count_case> {};

TEST_P(GroupsByCount, ClosesEveryKFilesKeepingSelectionOrder) {
  const auto& c = GetParam();
  const Exposure_groups groups = groups_by_count(named_records(c.files), c.per_hdr);
  EXPECT_EQ(sizes_of(groups), c.sizes);
  size_t next = 0;
  for (const auto& g : groups)
    for (const auto& r : g) EXPECT_EQ(r.path, std::to_string(next++));
}

const double k_nan = std::numeric_limits<double>::quiet_NaN();
const double k_inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Cases, GroupsByCount,
                         ::testing::Values(Count_case{12, 5, {5, 5, 2}}, Count_case{10, 5, {5, 5}},
                                           Count_case{7, 3.9, {3, 3, 1}},  // truncated, not rounded
                                           Count_case{3, 20, {3}}, Count_case{0, 5, {}},
                                           // Values the slider never holds must still end the walk.
                                           Count_case{3, 0, {1, 1, 1}}, Count_case{2, -4, {1, 1}},
                                           Count_case{2, k_nan, {1, 1}}, Count_case{4, k_inf, {4}},
                                           Count_case{4, 1e300, {4}}));

std::vector<Exposure_record> timed(const std::vector<int64_t>& times) {
  std::vector<Exposure_record> records(times.size());
  for (size_t i = 0; i < times.size(); ++i) {
    records[i].path = std::to_string(times[i]);
    records[i].capture_time = times[i];
  }
  return records;
}

TEST(GroupsByCaptureTime, GapsOfFifteenSecondsStayTogetherSixteenSplit) {
  // Given out of order: grouping sorts by time first.
  const auto records = timed({31, 96, 0, 65, 5, 50, 10, 80, 25, 30});
  EXPECT_EQ(paths_of(groups_by_capture_time(records)),
            (std::vector<std::vector<std::string>>{
                {"0", "5", "10", "25", "30", "31"}, {"50", "65", "80"}, {"96"}}));
}

TEST(GroupsByCaptureTime, ExtremeAndEqualTimesNeitherOverflowNorSplit) {
  const int64_t lo = std::numeric_limits<int64_t>::min();
  const int64_t hi = std::numeric_limits<int64_t>::max();
  // hi - lo overflows a signed difference; the gap is still huge and must split.
  EXPECT_EQ(sizes_of(groups_by_capture_time(timed({hi, lo}))), (std::vector<size_t>{1, 1}));
  EXPECT_EQ(sizes_of(groups_by_capture_time(timed({lo, lo + 15, hi - 15, hi}))),
            (std::vector<size_t>{2, 2}));
  EXPECT_EQ(sizes_of(groups_by_capture_time(timed({7, 7, 7}))), (std::vector<size_t>{3}));
  EXPECT_TRUE(groups_by_capture_time({}).empty());
}

// Exposure files in a temporary folder, with capture times seconds after a base date.
class Grouping : public ::testing::Test {
 protected:
  Exposure_record file(const std::string& name, const Exposure_exif& fields, uint8_t grey = 128) {
    Exposure_record r;
    r.path = dir.file(name);
    r.type = 3;
    r.width = r.height = grey;  // tells the records apart after sorting
    write_exposure_jpeg(r.path, fields, grey);
    // The shown thumbnail: one pixel of the grey level is enough for the brightness.
    r.thumb_pixels = {grey, grey, grey};
    r.thumb_w = r.thumb_h = 1;
    return r;
  }
  static Exposure_exif at(const std::string& date_time, uint32_t time_den = 100) {
    Exposure_exif f;
    f.make = "Canon";
    f.model = "EOS 5D";
    f.date_time_original = date_time;
    f.time_numerator = 1;
    f.time_denominator = time_den;
    return f;
  }
  Temp_dir dir;
  Scripted_messages messages;
  Message_questions questions;
};

TEST_F(Grouping, AutodetectGroupsByCaptureTimeAcrossMidnight) {
  const std::vector<Exposure_record> files = {
      file("a.jpg", at("2024:05:06 23:59:50"), 10), file("b.jpg", at("2024:05:07 00:00:20"), 20),
      file("c.jpg", at("2024:05:06 23:59:40"), 30), file("d.jpg", at("2024:05:07 00:00:05"), 40)};
  Exposure_groups groups;
  ASSERT_TRUE(autodetect_groups(files, groups));
  ASSERT_EQ(paths_of(groups).size(), 1u);
  ASSERT_EQ(groups[0].size(), 4u);
  // Sorted by time: c (23:59:40), a, d, b; each step at most 15 s.
  EXPECT_EQ(groups[0][0].path, files[2].path);
  EXPECT_EQ(groups[0][3].path, files[1].path);
  EXPECT_EQ(groups[0][3].capture_time - groups[0][0].capture_time, 40);
  for (const auto& r : groups[0]) {
    const auto from = std::find_if(files.begin(), files.end(),
                                   [&](const Exposure_record& f) { return f.path == r.path; });
    EXPECT_EQ(r.width, from->width);
    EXPECT_EQ(r.thumb_pixels, from->thumb_pixels);
  }
}

TEST_F(Grouping, OneFileWithoutCaptureTimeFailsTheWholeAutodetection) {
  Exposure_exif no_date = at("");
  no_date.date_time_original.reset();
  const std::vector<Exposure_record> files = {file("a.jpg", at("2024:05:06 10:00:00")),
                                              file("b.jpg", no_date),
                                              file("c.jpg", at("2024:05:06 10:00:01"))};
  Exposure_groups groups(1);  // groups already there are kept, none appended
  EXPECT_FALSE(autodetect_groups(files, groups));
  EXPECT_EQ(groups.size(), 1u);

  Grouping_settings settings;
  settings.batch = true;
  EXPECT_EQ(refusal_of([&] { group_exposures(files, settings, groups, questions); }),
            k_message_autodetect_failed);
  EXPECT_TRUE(groups.empty());
  EXPECT_FALSE(settings.autodetect);  // the dialog unchecks its box
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Grouping, WithoutBatchFlagAllFilesFormOneGroupWhateverTheCount) {
  std::vector<Exposure_record> files;
  for (int i = 0; i < 4; ++i)
    files.push_back(file(std::to_string(i) + ".jpg", at("2024:05:06 10:00:00", 1000 >> i)));
  Grouping_settings settings;
  settings.batch = false;
  settings.exposures_per_hdr = 2;
  settings.camera_name = "Canon EOS 5D";
  Exposure_groups groups;
  ASSERT_NO_THROW(group_exposures(files, settings, groups, questions));
  ASSERT_EQ(groups.size(), 1u);
  ASSERT_EQ(groups[0].size(), 4u);
  // Sorted by exposure time: 1/1000 first.
  EXPECT_FLOAT_EQ(groups[0][0].exposure, 0.001f);
  EXPECT_FLOAT_EQ(groups[0][3].exposure, 0.008f);
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Grouping, BatchByCountAssignsStepsPerGroupByBrightness) {
  std::vector<Exposure_record> files;
  const uint8_t greys[] = {200, 50, 120, 90, 30};
  for (int i = 0; i < 5; ++i) files.push_back(file(std::to_string(i) + ".jpg", {}, greys[i]));
  Grouping_settings settings;
  settings.batch = true;
  settings.autodetect = false;
  settings.exposures_per_hdr = 3;
  settings.response_choice = k_response_srgb;
  settings.exposure_variation = 3;  // "1 F-stop"
  Exposure_groups groups;
  ASSERT_NO_THROW(group_exposures(files, settings, groups, questions));
  EXPECT_EQ(paths_of(groups),
            (std::vector<std::vector<std::string>>{{files[1].path, files[2].path, files[0].path},
                                                   {files[4].path, files[3].path}}));
  EXPECT_EQ(groups[0][2].exposure, 4.f);
  EXPECT_EQ(groups[1][0].exposure, 1.f);
  EXPECT_EQ(groups[1][1].exposure, 2.f);
}

struct Camera_case {
  int choice;
  bool warns;
};

class CameraCheck : public Grouping, public ::testing::WithParamInterface<Camera_case> {};

TEST_P(CameraCheck, WarnsOnceOnlyForRecoveredResponses) {
  Exposure_exif other = at("2024:05:06 10:00:00");
  other.model = "EOS 6D";
  Exposure_exif unknown = at("2024:05:06 10:00:00");
  unknown.make.reset();
  const std::vector<Exposure_record> files = {file("a.jpg", at("2024:05:06 10:00:00")),
                                              file("b.jpg", other), file("c.jpg", unknown)};
  Grouping_settings settings;
  settings.batch = true;
  settings.autodetect = false;
  settings.exposures_per_hdr = 2;  // the odd ones out sit in both groups
  settings.response_choice = GetParam().choice;
  settings.camera_name = "Canon EOS 5D";
  Exposure_groups groups;
  EXPECT_NO_THROW(group_exposures(files, settings, groups, questions));
  const std::vector<std::string> expected =
      GetParam().warns ? std::vector<std::string>{different_camera_warning("Canon EOS 5D")}
                       : std::vector<std::string>{};
  EXPECT_EQ(messages.alerts, expected);
}

INSTANTIATE_TEST_SUITE_P(Choices, CameraCheck,
                         ::testing::Values(Camera_case{k_response_srgb, false},
                                           Camera_case{k_response_linear, false},
                                           Camera_case{k_response_recover, true},
                                           Camera_case{k_response_use_recovered, true},
                                           Camera_case{k_response_choose, false},
                                           Camera_case{k_response_enter, false}));

TEST(DifferentCameraWarning, NamesTheFirstCamera) {
  EXPECT_EQ(different_camera_warning("Nikon D800"),
            "Warning: Some of the exposures appear to be captured with a different "
            "camera.\nFor consistency, the camera that captured the first exposure (Nikon "
            "D800) will be used.");
}

}  // namespace

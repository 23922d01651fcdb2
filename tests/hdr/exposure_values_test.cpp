#include "hdr/exposure_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "hdr/exposure_exif.h"
#include "tests/support/exposure_exif_fixture.h"
#include "tests/support/refusal.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

struct Text_case {
  const char* text;
  float seconds;
};

void PrintTo(const Text_case& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ExposureTimeFromText : public ::testing::TestWithParam<Text_case> {};

TEST_P(ExposureTimeFromText, QuotientOrLeadingNumberNeverNaN) {
  const float t = exposure_time_from_text(GetParam().text);
  EXPECT_TRUE(std::isfinite(t));
  EXPECT_EQ(t, GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExposureTimeFromText,
    ::testing::Values(Text_case{"1/250 sec.", 1.f / 250.f}, Text_case{"1/3 sec.", 1.f / 3.f},
                      Text_case{"2 sec.", 2.f}, Text_case{"30 sec.", 30.f},
                      Text_case{"1/8", 0.125f}, Text_case{"2.5", 2.5f}, Text_case{"0 sec.", 0.f},
                      // What libexif prints for a zero denominator, and worse.
                      Text_case{"1/0", 0.f}, Text_case{"0/0 sec.", 0.f}, Text_case{"/ sec.", 0.f},
                      Text_case{"abc sec.", 0.f}, Text_case{"", 0.f},
                      Text_case{"1e30/1e-30 sec.", 0.f},  // overflows a float
                      Text_case{"-1/250 sec.", -1.f / 250.f}));

TEST(ThumbnailBrightness, MeanOfGreenOnlyWithinTheBuffer) {
  const std::vector<uint8_t> rgb = {255, 10, 0, 0, 30, 255, 7, 50, 7};
  EXPECT_FLOAT_EQ(thumbnail_brightness(rgb, 3, 1), 30.f);
  EXPECT_FLOAT_EQ(thumbnail_brightness(rgb, 1, 2), 20.f);
  // A size larger than the pixels held counts only the whole pixels present.
  EXPECT_FLOAT_EQ(thumbnail_brightness(rgb, 1000, 1000), 30.f);
  EXPECT_EQ(thumbnail_brightness({}, 4, 4), 0.f);
  EXPECT_EQ(thumbnail_brightness(rgb, 0, 5), 0.f);
  EXPECT_EQ(thumbnail_brightness({1, 2}, 1, 1), 0.f);
}

struct Step_case {
  int variation;
  const char* ratio;
  bool ok;
  float step;
};

void PrintTo(const Step_case& c, std::ostream* os) {
  *os << c.variation << " \"" << c.ratio << '"';
}

class ExposureStep : public ::testing::TestWithParam<Step_case> {};

TEST_P(ExposureStep, TableOrLog2OfARatioAboveOne) {
  float step = -7.f;
  EXPECT_EQ(exposure_step(GetParam().variation, GetParam().ratio, step), GetParam().ok);
  EXPECT_EQ(step, GetParam().ok ? GetParam().step : -7.f);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExposureStep,
    ::testing::Values(Step_case{1, "", true, 0.33333334f}, Step_case{5, "", true, 1.6666666f},
                      Step_case{9, "9", true, 3.f}, Step_case{10, "4", true, 2.f},
                      Step_case{10, "2.5", true, float(std::log2(2.5))},
                      Step_case{10, "1", false, 0}, Step_case{10, "0", false, 0},
                      Step_case{10, "-2", false, 0}, Step_case{10, "abc", false, 0},
                      Step_case{10, "", false, 0}, Step_case{10, "inf", false, 0},
                      Step_case{10, "nan", false, 0}, Step_case{0, "4", false, 0},
                      Step_case{-1, "4", false, 0}, Step_case{11, "4", false, 0}));

Exposure_record thumb(const std::string& name, uint8_t green) {
  Exposure_record r;
  r.path = name;
  r.thumb_pixels = {0, green, 0, 255, green, 255};
  r.thumb_w = 2;
  r.thumb_h = 1;
  return r;
}

TEST(ExposureValues, ThirdStopsFollowBrightnessNotSelectionOrder) {
  Scripted_messages messages;
  Exposure_groups groups = {{thumb("bright", 200), thumb("dark", 20), thumb("mid", 100)}};
  ASSERT_NO_THROW(exposure_values(groups, 1, ""));
  ASSERT_EQ(groups[0].size(), 3u);
  EXPECT_EQ(groups[0][0].path, "dark");
  EXPECT_EQ(groups[0][1].path, "mid");
  EXPECT_EQ(groups[0][2].path, "bright");
  EXPECT_EQ(groups[0][0].exposure, 1.f);
  EXPECT_EQ(groups[0][1].exposure, std::pow(2.f, 0.33333334f));
  EXPECT_EQ(groups[0][2].exposure, std::pow(2.f, 2.f * 0.33333334f));
  EXPECT_TRUE(messages.alerts.empty());
}

TEST(ExposureValues, RatioPowersPerGroupAndTheRatioAlert) {
  Scripted_messages messages;
  Exposure_groups groups = {{thumb("a", 10), thumb("b", 20), thumb("c", 30)}, {thumb("d", 5)}};
  ASSERT_NO_THROW(exposure_values(groups, k_variation_other, "4"));
  EXPECT_EQ(groups[0][0].exposure, 1.f);
  EXPECT_EQ(groups[0][1].exposure, 4.f);
  EXPECT_EQ(groups[0][2].exposure, 16.f);
  EXPECT_EQ(groups[1][0].exposure, 1.f);

  for (const char* bad : {"1", "0", "abc", "-2", "1e30"}) {
    // "1e30": a valid ratio whose third power overflows a float, refused before a merge
    // would divide by infinity.
    EXPECT_EQ(refusal_of([&] { exposure_values(groups, k_variation_other, bad); }),
              k_message_bad_ratio)
        << bad;
  }
  EXPECT_TRUE(messages.alerts.empty());  // the command alerts the refusal, not the algorithm
}

TEST(ExposureValues, ThumbnailsMissingStillGiveFinitePowers) {
  Scripted_messages messages;
  Exposure_record empty;
  empty.path = "no thumbnail";
  Exposure_groups groups = {{thumb("a", 90), empty}};
  ASSERT_NO_THROW(exposure_values(groups, 3, ""));
  EXPECT_EQ(groups[0][0].path, "no thumbnail");  // counts as darkest
  EXPECT_EQ(groups[0][1].exposure, 2.f);
}

class ExifExposureValues : public ::testing::Test {
 protected:
  Exposure_record file(const std::string& name, std::optional<uint32_t> num, uint32_t den) {
    Exposure_exif fields;
    fields.time_numerator = num;
    fields.time_denominator = den;
    Exposure_record r;
    r.path = dir.file(name);
    write_exposure_jpeg(r.path, fields);
    return r;
  }
  Temp_dir dir;
  Scripted_messages messages;
};

TEST_F(ExifExposureValues, ExposureTimesAsLibexifPrintsThem) {
  Exposure_groups groups = {
      {file("a.jpg", 5, 2), file("b.jpg", 1, 250), file("c.jpg", 3, 10), file("d.jpg", 16, 10)}};
  ASSERT_NO_THROW(exposure_values(groups, k_variation_exif, "ignored"));
  ASSERT_EQ(groups[0].size(), 4u);
  EXPECT_EQ(groups[0][0].exposure, 1.f / 250.f);
  EXPECT_EQ(groups[0][1].exposure, 0.33333334f);  // 0.3 s reads as one third
  EXPECT_EQ(groups[0][2].exposure, 2.f);          // 1.6 s reads as 2 ("%i" after rounding)
  EXPECT_EQ(groups[0][3].exposure, 2.f);          // 2.5 s reads as 2
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(ExifExposureValues, MissingZeroOrBrokenTimesAreRefusedBeforeLoading) {
  for (auto [num, den] : {std::pair<std::optional<uint32_t>, uint32_t>{std::nullopt, 1},
                          {0u, 1u},
                          {1u, 0u},
                          {0u, 0u}}) {
    Exposure_groups groups = {{file("good.jpg", 1, 100), file("bad.jpg", num, den)}};
    EXPECT_EQ(refusal_of([&] { exposure_values(groups, k_variation_exif, ""); }),
              k_message_no_exposure_time);
    for (const auto& r : groups[0]) EXPECT_FALSE(std::isnan(r.exposure));
  }
  Exposure_groups unreadable = {{Exposure_record{}}};
  unreadable[0][0].path = dir.file("missing.jpg");
  EXPECT_EQ(refusal_of([&] { exposure_values(unreadable, k_variation_exif, ""); }),
            k_message_no_exposure_time);
  EXPECT_TRUE(messages.alerts.empty());
}

}  // namespace

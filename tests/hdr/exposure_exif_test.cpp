#include "hdr/exposure_exif.h"

#include <gtest/gtest.h>
#include <libexif/exif-tag.h>
#include <sys/stat.h>

#include <ostream>

#include "tests/support/exposure_exif_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

struct Time_case {
  const char* text;
  bool ok;
  int64_t seconds_after_base;  // base: "2024:05:06 10:00:00"
};

void PrintTo(const Time_case& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ParseCaptureTime : public ::testing::TestWithParam<Time_case> {};

TEST_P(ParseCaptureTime, SixNumbersAsLocalTime) {
  int64_t base = 0, t = -1;
  ASSERT_TRUE(parse_capture_time("2024:05:06 10:00:00", base));
  EXPECT_EQ(parse_capture_time(GetParam().text, t), GetParam().ok);
  if (GetParam().ok) {
    EXPECT_EQ(t - base, GetParam().seconds_after_base);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCaptureTime,
    ::testing::Values(Time_case{"2024:05:06 10:00:15", true, 15},
                      Time_case{"2024:05:06 09:59:59", true, -1},
                      Time_case{"2024:05:07 10:00:00", true, 86400},
                      // The runtime normalises fields beyond their ranges.
                      Time_case{"2024:05:06 10:00:60", true, 60},
                      Time_case{"2024:5:6 10:0:0 trailing", true, 0}, Time_case{"", false, 0},
                      Time_case{"2024:05:06", false, 0}, Time_case{"2024:05:06 10:00", false, 0},
                      Time_case{"    :  :     :  :  ", false, 0},  // EXIF's blank date
                      Time_case{"0000:00:00 00:00:00", false, 0},  // EXIF's unknown date
                      Time_case{"2024-05-06 10:00:00", false, 0},
                      Time_case{"-2147483648:05:06 10:00:00", false, 0},
                      Time_case{"2024:-2147483648:06 10:00:00", false, 0}));

class ExposureExif : public ::testing::Test {
 protected:
  std::string jpeg(const std::string& name, const Exposure_exif& fields) {
    const std::string path = dir.file(name);
    write_exposure_jpeg(path, fields);
    return path;
  }
  Temp_dir dir;
};

TEST_F(ExposureExif, MakeAndModelAreUnknownWhenAbsent) {
  Exposure_exif fields;
  fields.make = "NIKON CORPORATION";
  const std::string make_only = jpeg("a.jpg", fields);
  std::string make, model;
  read_camera_make_model(make_only, make, model);
  EXPECT_EQ(make, "NIKON CORPORATION");
  EXPECT_EQ(model, "Unknown");

  fields.model = std::string(300, 'm');  // cut at 127 characters
  read_camera_make_model(jpeg("b.jpg", fields), make, model);
  EXPECT_EQ(model, std::string(127, 'm'));

  const std::string plain = dir.file("plain.txt");
  ASSERT_TRUE(write_file_bytes(plain, "no exif here"));
  for (const std::string& path : {plain, dir.file("missing.jpg")}) {
    read_camera_make_model(path, make, model);
    EXPECT_EQ(make, "Unknown");
    EXPECT_EQ(model, "Unknown");
  }
}

TEST_F(ExposureExif, NamedPipeIsNeverWaitedOn) {
  const std::string fifo = dir.file("pipe.jpg");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string text, make, model;
  int64_t t = 0;
  EXPECT_FALSE(read_exposure_time_text(fifo, text));
  EXPECT_FALSE(read_capture_time(fifo, t));
  read_camera_make_model(fifo, make, model);
  EXPECT_EQ(make, "Unknown");
}

TEST_F(ExposureExif, CaptureTimeAndExposureTimeTexts) {
  Exposure_exif fields;
  fields.date_time_original = "2024:05:06 10:00:15";
  fields.time_numerator = 1;
  fields.time_denominator = 250;
  const std::string path = jpeg("a.jpg", fields);
  int64_t t = 0, base = 0;
  ASSERT_TRUE(read_capture_time(path, t));
  ASSERT_TRUE(parse_capture_time("2024:05:06 10:00:00", base));
  EXPECT_EQ(t - base, 15);
  std::string text;
  ASSERT_TRUE(read_exposure_time_text(path, text));
  EXPECT_EQ(text, "1/250 sec.");

  const std::string bare = jpeg("b.jpg", Exposure_exif{});
  EXPECT_FALSE(read_capture_time(bare, t));
  EXPECT_FALSE(read_exposure_time_text(bare, text));
  EXPECT_FALSE(read_exif_text(bare, EXIF_TAG_MAKE, text, 127));
}

}  // namespace

// The text of the information dialog: the browser line form, file sizes, and the EXIF
// fields of real JPEG files written with libexif blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/exif_entries_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/png_fixture.h"
#include "tests/support/temp_dir.h"
#include "viewer/image_info_text.h"
#include "viewer/info_lines.h"

namespace {

struct Size_case {
  uint64_t bytes;
  const char* text;
};

class File_size_text : public ::testing::TestWithParam<Size_case> {};

TEST_P(File_size_text, ThreeSignificantDigits) {
  EXPECT_EQ(file_size_text(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, File_size_text,
                         ::testing::Values(Size_case{0, "0 KB"}, Size_case{512, "0.5 KB"},
                                           Size_case{119808, "117 KB"}, Size_case{120000, "117 KB"},
                                           Size_case{1023488, "1e+03 KB"},     // 999.5 KB
                                           Size_case{1048575, "1.02e+03 KB"},  // 1 B short of 1 MiB
                                           Size_case{1048576, "1 MB"}, Size_case{2621440, "2.5 MB"},
                                           Size_case{5368709120ull, "5.12e+03 MB"}));  // 5 GiB

TEST(Info_line, LabelInBoldThenTheValueAfterOneSpace) {
  EXPECT_EQ(info_line("Make", "Canon"), "@b@S12Make:\t@S12 Canon");
}

TEST(Info_line, OutsideTextCannotOpenColumnsOrLinesOrFormats) {
  // A tab would start a column whose leading '@' codes the browser obeys; a line end
  // would draw over the next line. '%' and '@' inside the value stay as they are.
  const std::string line = info_line("Make", "\t@C1@l\nbig%s%n\r@@x\x7f");
  EXPECT_EQ(line, "@b@S12Make:\t@S12  @C1@l big%s%n @@x ");
  EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 1);
}

void write_small_jpeg(const std::string& path, const std::string& exif_block) {
  const std::vector<uint8_t> rgb(8 * 8 * 3, 128);
  write_jpeg(path, 8, 8, 3, rgb.data(), 95, exif_block);
}

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Index of the line that starts with the label, or -1.
int line_of(const std::vector<std::string>& lines, const std::string& label) {
  const std::string start = "@b@S12" + label + ":\t";
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].compare(0, start.size(), start) == 0) return int(i);
  return -1;
}

TEST(Image_info_lines, GeneralLinesUseTheCallersDimensions) {
  Temp_dir dir;
  write_small_jpeg(dir.file("a.jpg"), {});
  const std::string bytes = read_file_bytes(dir.file("a.jpg"));
  const Info_lines lines = image_info_lines(dir.file("a.jpg"), "shown name.jpg", 4000, 3000);
  EXPECT_EQ(
      lines[k_tab_general],
      (std::vector<std::string>{"@b@S12Name:\t@S12 shown name.jpg",
                                "@b@S12Size:\t@S12 " + file_size_text(bytes.size()),
                                "@b@S12Width:\t@S12 4000 px", "@b@S12Height:\t@S12 3000 px"}));
}

TEST(Image_info_lines, FilesWithoutExifShowOnlyTheGeneralTab) {
  Temp_dir dir;
  write_small_jpeg(dir.file("plain.jpg"), {});
  const uint8_t px[] = {1, 2, 3};
  Png_layout layout;
  layout.width = layout.height = 1;
  write_png(dir.file("a.png"), layout, px);
  for (const std::string name : {"plain.jpg", "a.png", "missing.jpg"}) {
    const Info_lines lines = image_info_lines(dir.file(name), name, 1, 1);
    EXPECT_EQ(lines[k_tab_general].size(), 4u) << name;
    for (int tab = k_tab_camera; tab < k_info_tabs; ++tab)
      EXPECT_TRUE(lines[tab].empty()) << name << " tab " << tab;
  }
  EXPECT_EQ(image_info_lines(dir.file("missing.jpg"), "m", 1, 1)[k_tab_general][1],
            "@b@S12Size:\t@S12 0 KB");
}

TEST(Image_info_lines, FieldsGoToTheirTabsWithLibexifWording) {
  Temp_dir dir;
  write_small_jpeg(dir.file("cam.jpg"),
                   exif_block_with({{Exif_test_entry::ascii, 0, 0x010F, "Canon"},
                                    {Exif_test_entry::ascii, 0, 0x0110, "EOS 5D"},
                                    {Exif_test_entry::short_value, 0, 0x0112, "", 1},
                                    {Exif_test_entry::rational, 2, 0x829A, "", 1, 250},
                                    {Exif_test_entry::rational, 2, 0x829D, "", 28, 10},
                                    {Exif_test_entry::short_value, 2, 0xA001, "", 1}}));
  const Info_lines lines = image_info_lines(dir.file("cam.jpg"), "cam.jpg", 8, 8);
  const auto& camera = lines[k_tab_camera];
  EXPECT_TRUE(has_line(camera, "@b@S12Make:\t@S12 Canon"));
  EXPECT_TRUE(has_line(camera, "@b@S12Model:\t@S12 EOS 5D"));
  EXPECT_LT(line_of(camera, "Make"), line_of(camera, "Model"));
  EXPECT_TRUE(has_line(lines[k_tab_image], "@b@S12Orientation:\t@S12 Top-left"));
  EXPECT_TRUE(has_line(lines[k_tab_conditions], "@b@S12Exposure time:\t@S12 1/250 sec."));
  EXPECT_TRUE(has_line(lines[k_tab_conditions], "@b@S12F-number:\t@S12 f/2.8"));
  EXPECT_LT(line_of(lines[k_tab_conditions], "Exposure time"),
            line_of(lines[k_tab_conditions], "F-number"));
  EXPECT_TRUE(has_line(lines[k_tab_other], "@b@S12Color space:\t@S12 sRGB"));
  // Every line of every tab is one label column and one value column.
  for (const auto& tab : lines)
    for (const std::string& line : tab)
      EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 1) << line;
}

TEST(Image_info_lines, OddExifStringsStayInTheirLine) {
  Temp_dir dir;
  const std::string make = "Ev\til@C1\n@l%s%n";
  write_small_jpeg(dir.file("odd.jpg"), exif_block_with({{Exif_test_entry::ascii, 0, 0x010F, make},
                                                         {Exif_test_entry::ascii, 0, 0x0131, ""}}));
  const Info_lines lines = image_info_lines(dir.file("odd.jpg"), "odd\t@b.jpg", 8, 8);
  EXPECT_EQ(lines[k_tab_general][0], "@b@S12Name:\t@S12 odd @b.jpg");
  const auto& camera = lines[k_tab_camera];
  EXPECT_TRUE(has_line(camera, "@b@S12Make:\t@S12 Ev il@C1 @l%s%n"));
  const int software = line_of(camera, "Software");
  ASSERT_GE(software, 0);
  EXPECT_EQ(camera[software], "@b@S12Software:\t@S12 ");
}

TEST(Image_info_lines, InteroperabilityRowsReadTheInteroperabilityIfdOnly) {
  // Tags 0x0001 and 0x0002 are also the GPS latitude reference and latitude: a photo with
  // a position must still show its interoperability index and version, and a photo with
  // a position only shows no interoperability rows at all.
  Temp_dir dir;
  const std::vector<Exif_test_entry> gps = {{Exif_test_entry::ascii, 0, 0x010F, "Canon"},
                                            {Exif_test_entry::ascii, 3, 0x0001, "S"},
                                            {Exif_test_entry::rational, 3, 0x0002, "", 15, 1}};
  std::vector<Exif_test_entry> both = gps;
  both.push_back({Exif_test_entry::ascii, 4, 0x0001, "R98"});
  both.push_back({Exif_test_entry::undefined, 4, 0x0002, "0100"});
  write_small_jpeg(dir.file("both.jpg"), exif_block_with(both));
  write_small_jpeg(dir.file("gps.jpg"), exif_block_with(gps));

  const Info_lines lines = image_info_lines(dir.file("both.jpg"), "both.jpg", 8, 8);
  const auto& camera = lines[k_tab_camera];
  const int index = line_of(camera, "Interoperability index");
  const int version = line_of(camera, "Interoperability version");
  ASSERT_GE(index, 0);
  ASSERT_GE(version, 0);
  EXPECT_EQ(camera[index], "@b@S12Interoperability index:\t@S12 R98");
  EXPECT_EQ(camera[version], "@b@S12Interoperability version:\t@S12 0100");
  EXPECT_EQ(index + 1, version);

  const Info_lines gps_lines = image_info_lines(dir.file("gps.jpg"), "gps.jpg", 8, 8);
  const auto& only_gps = gps_lines[k_tab_camera];
  EXPECT_EQ(line_of(only_gps, "Interoperability index"), -1);
  EXPECT_EQ(line_of(only_gps, "Interoperability version"), -1);
  EXPECT_TRUE(has_line(only_gps, "@b@S12Make:\t@S12 Canon"));
}

// Every field of the four EXIF tabs, each with a value no other field shows: the file
// holding all 45 tags gives each tab exactly its lines, in the dialog's order, worded by
// libexif.
struct Exif_row {
  Info_tab tab;
  const char* label;
  Exif_test_entry entry;
  const char* text;  // libexif's wording of the value
};

const std::vector<Exif_row>& every_exif_field() {
  using E = Exif_test_entry;
  static const std::vector<Exif_row> rows = {
      {k_tab_camera, "Make", {E::ascii, 0, 0x010F, "Maker Co"}, "Maker Co"},
      {k_tab_camera, "Model", {E::ascii, 0, 0x0110, "Model 7"}, "Model 7"},
      {k_tab_camera, "XResolution", {E::rational, 0, 0x011A, "", 300, 1}, "300"},
      {k_tab_camera, "YResolution", {E::rational, 0, 0x011B, "", 240, 1}, "240"},
      {k_tab_camera, "Resolution unit", {E::short_value, 0, 0x0128, "", 3}, "Centimeter"},
      {k_tab_camera, "Software", {E::ascii, 0, 0x0131, "Tool 2.1"}, "Tool 2.1"},
      {k_tab_camera, "Exif version", {E::undefined, 2, 0x9000, "0231"}, "Exif Version 2.31"},
      {k_tab_camera,
       "Components configuration",
       {E::undefined, 2, 0x9101, std::string("\1\2\3\0", 4)},
       "Y Cb Cr -"},
      {k_tab_camera, "Compressed bits per pixel", {E::rational, 2, 0x9102, "", 5, 1}, " 5"},
      {k_tab_camera, "Focal length in 35mm film", {E::short_value, 2, 0xA405, "", 52}, "52"},
      {k_tab_camera, "Interoperability index", {E::ascii, 4, 0x0001, "R98"}, "R98"},
      {k_tab_camera, "Interoperability version", {E::undefined, 4, 0x0002, "0100"}, "0100"},
      {k_tab_image, "Orientation", {E::short_value, 0, 0x0112, "", 6}, "Right-top"},
      {k_tab_image,
       "Date-time",
       {E::ascii, 0, 0x0132, "2024:01:02 03:04:05"},
       "2024:01:02 03:04:05"},
      {k_tab_image, "YCBCR positioning", {E::short_value, 0, 0x0213, "", 2}, "Co-sited"},
      {k_tab_image, "Compression", {E::short_value, 0, 0x0103, "", 6}, "JPEG compression"},
      {k_tab_image, "ISO speed ratings", {E::short_value, 2, 0x8827, "", 400}, "400"},
      {k_tab_image,
       "Date-time original",
       {E::ascii, 2, 0x9003, "2024:01:02 03:04:06"},
       "2024:01:02 03:04:06"},
      {k_tab_image,
       "Date-time digitized",
       {E::ascii, 2, 0x9004, "2024:01:02 03:04:07"},
       "2024:01:02 03:04:07"},
      {k_tab_image, "Pixel X dimension", {E::long_value, 2, 0xA002, "", 4000}, "4000"},
      {k_tab_image, "Pixel Y dimension", {E::long_value, 2, 0xA003, "", 3000}, "3000"},
      {k_tab_conditions, "Exposure time", {E::rational, 2, 0x829A, "", 1, 125}, "1/125 sec."},
      {k_tab_conditions, "F-number", {E::rational, 2, 0x829D, "", 56, 10}, "f/5.6"},
      {k_tab_conditions,
       "Exposure program",
       {E::short_value, 2, 0x8822, "", 3},
       "Aperture priority"},
      {k_tab_conditions,
       "Exposure bias value",
       {E::signed_rational, 2, 0x9204, "", uint32_t(-2), 3},
       "-0.67 EV"},
      {k_tab_conditions,
       "Max aperture value",
       {E::rational, 2, 0x9205, "", 30, 10},
       "3.00 EV (f/2.8)"},
      {k_tab_conditions, "Metering mode", {E::short_value, 2, 0x9207, "", 5}, "Pattern"},
      {k_tab_conditions, "Subject distance", {E::rational, 2, 0x9206, "", 35, 10}, "3.5 m"},
      {k_tab_conditions, "Light source", {E::short_value, 2, 0x9208, "", 10}, "Cloudy weather"},
      {k_tab_conditions,
       "Flash",
       {E::short_value, 2, 0x9209, "", 16},
       "Flash did not fire, compulsory flash mode"},
      {k_tab_conditions, "Focal length", {E::rational, 2, 0x920A, "", 85, 1}, "85.0 mm"},
      {k_tab_conditions,
       "Sensing method",
       {E::short_value, 2, 0xA217, "", 2},
       "One-chip color area sensor"},
      {k_tab_conditions, "Scene type", {E::undefined, 2, 0xA301, "\1"}, "Directly photographed"},
      {k_tab_conditions, "Exposure mode", {E::short_value, 2, 0xA402, "", 1}, "Manual exposure"},
      {k_tab_conditions,
       "White balance",
       {E::short_value, 2, 0xA403, "", 1},
       "Manual white balance"},
      {k_tab_conditions, "Digital zoom ratio", {E::rational, 2, 0xA404, "", 3, 2}, "1.5"},
      {k_tab_conditions, "Scene capture type", {E::short_value, 2, 0xA406, "", 3}, "Night scene"},
      {k_tab_conditions, "Gain control", {E::short_value, 2, 0xA407, "", 2}, "High gain up"},
      {k_tab_conditions, "Contrast", {E::short_value, 2, 0xA408, "", 1}, "Soft"},
      {k_tab_conditions, "Saturation", {E::short_value, 2, 0xA409, "", 2}, "High saturation"},
      {k_tab_conditions, "Sharpness", {E::short_value, 2, 0xA40A, "", 2}, "Hard"},
      {k_tab_other, "Flash pix version", {E::undefined, 2, 0xA000, "0100"}, "FlashPix Version 1.0"},
      {k_tab_other, "Color space", {E::short_value, 2, 0xA001, "", 0xFFFF}, "Uncalibrated"},
      {k_tab_other, "File source", {E::undefined, 2, 0xA300, "\3"}, "DSC"},
      {k_tab_other, "Custom rendered", {E::short_value, 2, 0xA401, "", 1}, "Custom process"},
  };
  return rows;
}

TEST(Image_info_lines, EveryFieldOfTheFourTabsShowsItsOwnValue) {
  std::vector<Exif_test_entry> entries;
  for (const Exif_row& row : every_exif_field()) entries.push_back(row.entry);
  Temp_dir dir;
  write_small_jpeg(dir.file("all.jpg"), exif_block_with(entries));
  const Info_lines lines = image_info_lines(dir.file("all.jpg"), "all.jpg", 8, 8);
  Info_lines want;
  want[k_tab_general] = lines[k_tab_general];
  for (const Exif_row& row : every_exif_field())
    want[row.tab].push_back(info_line(row.label, row.text));
  for (int tab = k_tab_camera; tab < k_info_tabs; ++tab)
    EXPECT_EQ(lines[tab], want[tab]) << "tab " << tab;
  // No two fields share a value, so a field showing another's tag cannot pass.
  std::vector<std::string> texts;
  for (const Exif_row& row : every_exif_field()) texts.push_back(row.text);
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(std::adjacent_find(texts.begin(), texts.end()), texts.end());
}

TEST(Exif_fields, FortyFiveFieldsOnFourTabsInTableOrder) {
  int per_tab[k_info_tabs] = {};
  int last_tab = k_tab_camera;
  for (const Exif_field& f : k_exif_fields) {
    ++per_tab[f.tab];
    EXPECT_GE(f.tab, last_tab) << f.label;  // each tab's fields form one run
    last_tab = f.tab;
  }
  EXPECT_EQ(per_tab[k_tab_general], 0);
  EXPECT_EQ(per_tab[k_tab_camera], 12);
  EXPECT_EQ(per_tab[k_tab_image], 9);
  EXPECT_EQ(per_tab[k_tab_conditions], 20);
  EXPECT_EQ(per_tab[k_tab_other], 4);
}

}  // namespace

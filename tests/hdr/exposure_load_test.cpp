// An exposure's 8-bit planes, decoded straight from an 8-bit file, against what loading the
// file into the image type and rounding every value gives: the same bytes for every layout
// of JPEG, PNG and 8-bit TIFF (and for HDR sources), the same exception with the same text
// for every file that cannot be read.
#include "hdr/exposure_load.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_load.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/exr_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/png_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_w = 37, k_h = 23;  // off every block and tile size

// How a load ended: the planes as bytes, or the kind and text of what it threw.
struct Outcome {
  int width = 0, height = 0, spectrum = 0;
  std::vector<uint8_t> bytes;
  std::string thrown;
};

std::string thrown_text(const std::function<void()>& load) {
  try {
    load();
  } catch (const Incomplete_image_error& e) {
    return std::string("Incomplete_image_error: ") + e.what();
  } catch (const Read_error& e) {
    return std::string("Read_error: ") + e.what();
  } catch (const std::exception& e) {
    return std::string("std::exception: ") + e.what();
  }
  return {};
}

// Today's path: the image type, then each value rounded to the nearest level in 0..255.
Outcome load_then_round(const std::string& path, uint32_t type) {
  Outcome o;
  Hdr_image image;
  o.thrown = thrown_text([&] { load_image(image, path, type); });
  if (!o.thrown.empty()) return o;
  o.width = image.width();
  o.height = image.height();
  o.spectrum = image.spectrum();
  for (uint64_t i = 0; i < image.size(); ++i) {
    const float v = image[i];
    o.bytes.push_back(!(v > 0.f) ? 0 : (v >= 255.f ? 255 : uint8_t(std::lround(v))));
  }
  return o;
}

Outcome exposure(const std::string& path, uint32_t type) {
  Outcome o;
  Rgb8_image planes;
  o.thrown = thrown_text([&] { planes = load_exposure(path, type); });
  if (!o.thrown.empty()) return o;
  o.width = planes.width();
  o.height = planes.height();
  o.spectrum = planes.spectrum();
  o.bytes.assign(planes.data(), planes.data() + planes.size());
  return o;
}

// Bytes of a known pattern: every value 0..255 turns up, neighbours differ.
std::vector<uint8_t> pattern(uint64_t n, uint32_t seed = 1) {
  std::vector<uint8_t> v(n);
  for (uint64_t i = 0; i < n; ++i) v[i] = uint8_t((i * 73 + seed * 151 + (i >> 5) * 29) & 0xff);
  return v;
}

void png(const std::string& path, int channels, int bits, bool interlaced = false) {
  Png_layout l;
  l.width = k_w;
  l.height = k_h;
  l.channels = channels;
  l.bits = bits;
  l.interlaced = interlaced;
  const uint64_t n = uint64_t(k_w) * k_h * channels;
  if (bits == 16) {
    // A sweep of the 16-bit range: most values fall between two 8-bit levels.
    std::vector<uint16_t> v(n);
    for (uint64_t i = 0; i < n; ++i) v[i] = uint16_t(i * 65535 / (n - 1));
    write_png(path, l, v.data());
    return;
  }
  std::vector<uint8_t> v = pattern(n);
  if (bits < 8)
    for (uint8_t& s : v) s &= uint8_t((1 << bits) - 1);
  write_png(path, l, v.data());
}

void png_palette(const std::string& path) {
  Png_layout l;
  l.width = k_w;
  l.height = k_h;
  l.bits = 4;
  for (int i = 0; i < 16; ++i)
    l.palette.insert(l.palette.end(), {uint8_t(i * 16), 200, uint8_t(255 - i)});
  std::vector<uint8_t> v = pattern(uint64_t(k_w) * k_h);
  for (uint8_t& s : v) s &= 15;
  write_png(path, l, v.data());
}

Tiff_layout tiff_layout(uint16_t samples, uint16_t photometric) {
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.samples = samples;
  l.photometric = photometric;
  l.rows_per_strip = 5;
  if (photometric != PHOTOMETRIC_SEPARATED && (samples == 2 || samples == 4))
    l.extra_samples = {EXTRASAMPLE_UNASSALPHA};
  return l;
}

void tiff(const std::string& path, Tiff_layout l) {
  const uint64_t n = uint64_t(l.width) * l.height * l.samples;
  if (l.photometric == PHOTOMETRIC_PALETTE)
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < (1 << l.bits); ++i)
        l.colormap.push_back(uint16_t(((i * (c + 3)) % 256) * 257));
  if (l.bits == 16) {
    std::vector<uint16_t> v(n);
    for (uint64_t i = 0; i < n; ++i) v[i] = uint16_t(i * 977);
    write_tiff(path, l, v.data());
    return;
  }
  // 4 bits: two samples a byte, rows packed to whole bytes.
  const uint64_t row = l.bits == 4 ? (uint64_t(l.width) * l.samples + 1) / 2 : 0;
  write_tiff(path, l, pattern(l.bits == 4 ? row * l.height : n, 3).data());
}

// The JPEG's bytes with a stray marker written into its middle ("Corrupt JPEG data").
std::string stray_marker(std::string bytes) {
  bytes[bytes.size() / 2] = char(0xff);
  bytes[bytes.size() / 2 + 1] = char(0xd3);
  return bytes;
}

// What loading the file gives: its planes, a refusal, or whichever the loader's rule says.
enum class Expect { planes, refusal, as_loader };

struct Source_case {
  const char* name;
  const char* extension;
  uint32_t type;
  std::function<void(const std::string&)> write;
  Expect expect;
};

const std::vector<Source_case>& sources() {
  static const std::vector<Source_case> cases = [] {
    std::vector<Source_case> c;
    auto jpeg = [](uint32_t w, uint32_t h, int components, bool progressive) {
      return [=](const std::string& p) { write_textured_jpeg(p, w, h, components, progressive); };
    };
    // Turns the fixture's whole JPEG bytes into another file at the same path.
    auto rewritten = [](std::function<std::string(const std::string&)> change) {
      return [change](const std::string& p) {
        write_textured_jpeg(p, 200, 160, 3);
        ASSERT_TRUE(write_file_bytes(p, change(read_file_bytes(p))));
      };
    };
    const uint32_t J = k_type_jpeg, P = k_type_png, T = k_type_tiff8;
    c.push_back({"jpeg_colour", ".jpg", J, jpeg(333, 217, 3, false), Expect::planes});
    c.push_back({"jpeg_colour_progressive", ".jpg", J, jpeg(257, 131, 3, true), Expect::planes});
    c.push_back({"jpeg_grey", ".jpg", J, jpeg(211, 99, 1, false), Expect::planes});
    c.push_back({"jpeg_cmyk", ".jpg", J, jpeg(77, 45, 4, false), Expect::planes});
    // Whatever the loader makes of a camera's Orientation, the exposure must make the same.
    c.push_back({"jpeg_camera_turned", ".jpg", J,
                 [](const std::string& p) { write_camera_jpeg(p, 48, 24, 6); }, Expect::planes});
    c.push_back({"jpeg_cut_in_scan", ".jpg", J, rewritten(cut_in_scan), Expect::refusal});
    c.push_back({"jpeg_stray_marker", ".jpg", J, rewritten(stray_marker), Expect::refusal});
    // Whole or damaged as the loader's rule says; the exposure follows the same rule.
    c.push_back({"jpeg_without_end_marker", ".jpg", J,
                 rewritten([](const std::string& b) { return b.substr(0, b.size() - 2); }),
                 Expect::as_loader});
    c.push_back({"jpeg_not_a_jpeg", ".jpg", J,
                 [](const std::string& p) { ASSERT_TRUE(write_file_bytes(p, "not a jpeg")); },
                 Expect::refusal});
    c.push_back({"jpeg_missing", ".jpg", J, [](const std::string&) {}, Expect::refusal});

    c.push_back({"png_rgb", ".png", P, [](const std::string& p) { png(p, 3, 8); }, Expect::planes});
    c.push_back(
        {"png_grey", ".png", P, [](const std::string& p) { png(p, 1, 8); }, Expect::planes});
    c.push_back(
        {"png_grey_alpha", ".png", P, [](const std::string& p) { png(p, 2, 8); }, Expect::planes});
    c.push_back(
        {"png_rgba", ".png", P, [](const std::string& p) { png(p, 4, 8); }, Expect::planes});
    c.push_back(
        {"png_grey_2bit", ".png", P, [](const std::string& p) { png(p, 1, 2); }, Expect::planes});
    c.push_back({"png_palette", ".png", P, png_palette, Expect::planes});
    c.push_back(
        {"png_rgb16", ".png", P, [](const std::string& p) { png(p, 3, 16); }, Expect::planes});
    c.push_back(
        {"png_grey16", ".png", P, [](const std::string& p) { png(p, 1, 16); }, Expect::planes});
    c.push_back({"png_interlaced", ".png", P, [](const std::string& p) { png(p, 3, 8, true); },
                 Expect::planes});
    c.push_back({"png_cut", ".png", P,
                 [](const std::string& p) {
                   png(p, 3, 8);
                   const std::string b = read_file_bytes(p);
                   ASSERT_TRUE(write_file_bytes(p, b.substr(0, b.size() / 2)));
                 },
                 Expect::refusal});

    auto tif = [](uint16_t samples, uint16_t photometric, std::function<void(Tiff_layout&)> more) {
      return [=](const std::string& p) {
        Tiff_layout l = tiff_layout(samples, photometric);
        if (more) more(l);
        tiff(p, l);
      };
    };
    const uint16_t RGB = PHOTOMETRIC_RGB, GREY = PHOTOMETRIC_MINISBLACK;
    c.push_back({"tiff_rgb", ".tif", T, tif(3, RGB, nullptr), Expect::planes});
    c.push_back({"tiff_grey", ".tif", T, tif(1, GREY, nullptr), Expect::planes});
    c.push_back({"tiff_grey_alpha", ".tif", T, tif(2, GREY, nullptr), Expect::planes});
    c.push_back({"tiff_rgba_deflate", ".tif", T,
                 tif(4, RGB, [](Tiff_layout& l) { l.compression = COMPRESSION_ADOBE_DEFLATE; }),
                 Expect::planes});
    c.push_back({"tiff_rgb_planes", ".tif", T,
                 tif(3, RGB, [](Tiff_layout& l) { l.planar = PLANARCONFIG_SEPARATE; }),
                 Expect::planes});
    c.push_back({"tiff_rgb_tiles", ".tif", T, tif(3, RGB, [](Tiff_layout& l) { l.tile = 16; }),
                 Expect::planes});
    c.push_back({"tiff_grey_signed", ".tif", T,
                 tif(1, GREY, [](Tiff_layout& l) { l.sample_format = SAMPLEFORMAT_INT; }),
                 Expect::planes});
    c.push_back({"tiff_grey_4bit", ".tif", T, tif(1, GREY, [](Tiff_layout& l) { l.bits = 4; }),
                 Expect::planes});
    c.push_back({"tiff_palette", ".tif", T, tif(1, PHOTOMETRIC_PALETTE, nullptr), Expect::planes});
    c.push_back({"tiff_cmyk", ".tif", T, tif(4, PHOTOMETRIC_SEPARATED, nullptr), Expect::planes});
    // A file that changed since its header was read: read by what it holds now.
    c.push_back({"tiff_logl_named_8bit", ".tif", T,
                 [](const std::string& p) {
                   std::vector<float> y(uint64_t(k_w) * k_h);
                   for (size_t i = 0; i < y.size(); ++i) y[i] = 0.37f * float(i % 700);
                   write_tiff_logl(p, k_w, k_h, y.data());
                 },
                 Expect::planes});
    c.push_back({"tiff_corrupt_strip", ".tif", T,
                 [](const std::string& p) {
                   Tiff_layout l = tiff_layout(3, RGB);
                   l.compression = COMPRESSION_ADOBE_DEFLATE;
                   tiff(p, l);
                   uint64_t offset = 0, bytes = 0;
                   tiff_first_strip(p, offset, bytes);
                   std::string file = read_file_bytes(p);
                   for (uint64_t i = offset; i < offset + bytes; ++i)
                     file[i] = char(0xa5 ^ (i * 31));
                   ASSERT_TRUE(write_file_bytes(p, file));
                 },
                 Expect::refusal});

    // HDR sources keep the loader: values out of 0..255, fractions, negatives.
    c.push_back({"exr", ".exr", k_type_exr,
                 [](const std::string& p) {
                   std::vector<float> r, g, b;
                   for (uint32_t i = 0; i < k_w * k_h; ++i) {
                     r.push_back(0.5f * float(i) - 3.25f);
                     g.push_back(127.5f + 0.001f * float(i));
                     b.push_back(std::ldexp(1.f, int(i % 40) - 20));
                   }
                   Exr_layout l;
                   l.width = k_w;
                   l.height = k_h;
                   write_exr(p, l, {{"R", r.data()}, {"G", g.data()}, {"B", b.data()}});
                 },
                 Expect::planes});
    c.push_back({"tiff_16bit", ".tif", k_type_tiff_float,
                 tif(3, RGB, [](Tiff_layout& l) { l.bits = 16; }), Expect::planes});
    return c;
  }();
  return cases;
}

class ExposureLoad : public ::testing::TestWithParam<size_t> {};

TEST_P(ExposureLoad, PlanesAndRefusalsAreThoseOfLoadingThenRounding) {
  const Source_case& c = sources()[GetParam()];
  Temp_dir dir;
  const std::string path = dir.file(std::string(c.name) + c.extension);
  c.write(path);
  if (HasFatalFailure()) return;

  const Outcome expected = load_then_round(path, c.type);
  if (c.expect != Expect::as_loader) {
    ASSERT_EQ(expected.thrown.empty(), c.expect == Expect::planes) << expected.thrown;
  }
  const Outcome got = exposure(path, c.type);
  EXPECT_EQ(got.thrown, expected.thrown);
  ASSERT_EQ(got.width, expected.width);
  ASSERT_EQ(got.height, expected.height);
  ASSERT_EQ(got.spectrum, expected.spectrum);
  ASSERT_EQ(got.bytes.size(), expected.bytes.size());
  for (size_t i = 0; i < got.bytes.size(); ++i)
    ASSERT_EQ(int(got.bytes[i]), int(expected.bytes[i])) << "value " << i;
}

INSTANTIATE_TEST_SUITE_P(Sources, ExposureLoad, ::testing::Range<size_t>(0, sources().size()),
                         [](const auto& info) { return std::string(sources()[info.param].name); });

// The message a creation shows for a damaged exposure is the loader's, naming the file.
TEST(ExposureLoadDamage, CutJpegIsRefusedAsDamagedWithItsPath) {
  Temp_dir dir;
  const std::string path = dir.file("cut.jpg");
  write_textured_jpeg(path, 200, 160, 3);
  ASSERT_TRUE(write_file_bytes(path, cut_in_scan(read_file_bytes(path))));
  try {
    load_exposure(path, k_type_jpeg);
    FAIL() << "a damaged exposure loaded";
  } catch (const Incomplete_image_error& e) {
    EXPECT_EQ(std::string(e.what()), "Image data is damaged; the picture is incomplete: " + path);
  }
}

}  // namespace

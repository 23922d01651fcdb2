#include "core/tiff_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_load.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_fixture.h"

namespace {

constexpr uint32_t k_w = 19, k_h = 13;  // odd sizes: partial tiles and strips

template <typename T>
std::vector<T> samples(uint32_t count, double scale, double offset = 0) {
  std::vector<T> v(count);
  for (uint32_t i = 0; i < count; ++i) v[i] = T(std::fmod(i * scale + offset, 250.0 * scale));
  return v;
}

class TiffRead : public ::testing::Test {
 protected:
  Hdr_image load(const std::string& path) {
    Hdr_image img;
    load_image(img, path, type_of(path));
    return img;
  }
  uint32_t type_of(const std::string& path) {
    uint32_t w = 0, h = 0, type = 0;
    read_tiff_header(path, w, h, type);
    EXPECT_EQ(w, k_w);
    EXPECT_EQ(h, k_h);
    return type;
  }
  std::string error_of(const std::string& path, bool header) {
    try {
      if (header) {
        uint32_t w, h, t;
        read_tiff_header(path, w, h, t);
      } else {
        Hdr_image img;
        read_tiff(img, path);
      }
    } catch (const Read_error& e) {
      return e.what();
    }
    return "no error";
  }
  Temp_dir dir;
};

// Interleaved layouts: every channel kept (up to three) must equal the stored samples.
struct Sample_case {
  const char* name;
  uint16_t samples, bits, format, photometric, planar;
  uint32_t tile;
  uint16_t compression;
  uint32_t expected_type;
};

class TiffSamples : public TiffRead, public ::testing::WithParamInterface<Sample_case> {};

template <typename T>
void check_samples(const Hdr_image& img, const std::vector<T>& data, const Sample_case& c) {
  const uint64_t n = uint64_t(k_w) * k_h;
  ASSERT_EQ(img.spectrum(), 3);
  for (uint64_t i = 0; i < n; ++i)
    for (int ch = 0; ch < 3; ++ch) {
      // Grey (with or without alpha) is copied; alpha is never mixed in.
      const int src = c.samples < 3 ? 0 : ch;
      const uint64_t at = c.planar == PLANARCONFIG_SEPARATE ? src * n + i : i * c.samples + src;
      double expected = double(data[at]);
      expected = std::min<double>(std::max(expected, 0.0), std::numeric_limits<float>::max());
      ASSERT_EQ(img.data()[i + ch * n], float(expected))
          << c.name << " pixel " << i << " ch " << ch;
    }
}

TEST_P(TiffSamples, RawValuesArrive) {
  const Sample_case& c = GetParam();
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.samples = c.samples;
  l.bits = c.bits;
  l.sample_format = c.format;
  l.photometric = c.photometric;
  l.planar = c.planar;
  l.tile = c.tile;
  l.compression = c.compression;
  l.rows_per_strip = 4;
  if (c.samples == 2 || c.samples == 4) l.extra_samples = {EXTRASAMPLE_UNASSALPHA};
  if (c.photometric == PHOTOMETRIC_SEPARATED) l.extra_samples.clear();
  const std::string path = dir.file(std::string(c.name) + ".tif");
  const uint32_t count = k_w * k_h * c.samples;
  Hdr_image img;
  if (c.bits == 8) {
    const auto data = samples<uint8_t>(count, 1);
    write_tiff(path, l, data.data());
    img = load(path);
    check_samples(img, data, c);
  } else if (c.bits == 16 && c.format == SAMPLEFORMAT_UINT) {
    const auto data = samples<uint16_t>(count, 257);
    write_tiff(path, l, data.data());
    img = load(path);
    check_samples(img, data, c);
  } else if (c.bits == 16) {
    const auto data = samples<int16_t>(count, 100, -9000);
    write_tiff(path, l, data.data());
    img = load(path);
    check_samples(img, data, c);
  } else if (c.bits == 32) {
    auto data = samples<float>(count, 0.37, -3.0);
    data[5] = std::numeric_limits<float>::infinity();
    data[6] = 1e30f;
    write_tiff(path, l, data.data());
    img = load(path);
    check_samples(img, data, c);
  } else {
    const auto data = samples<double>(count, 0.5);
    write_tiff(path, l, data.data());
    img = load(path);
    check_samples(img, data, c);
  }
  EXPECT_EQ(img.type, c.expected_type);
}

constexpr uint16_t U = SAMPLEFORMAT_UINT, F = SAMPLEFORMAT_IEEEFP, I = SAMPLEFORMAT_INT;
constexpr uint16_t RGB = PHOTOMETRIC_RGB, GREY = PHOTOMETRIC_MINISBLACK;
constexpr uint16_t CONTIG = PLANARCONFIG_CONTIG, SEP = PLANARCONFIG_SEPARATE;
constexpr uint16_t NONE = COMPRESSION_NONE, LZW = COMPRESSION_LZW, ZIP = COMPRESSION_ADOBE_DEFLATE;

INSTANTIATE_TEST_SUITE_P(
    All, TiffSamples,
    ::testing::Values(
        Sample_case{"rgb8", 3, 8, U, RGB, CONTIG, 0, NONE, k_type_tiff8},
        Sample_case{"grey8", 1, 8, U, GREY, CONTIG, 0, NONE, k_type_tiff8},
        Sample_case{"grey_alpha8", 2, 8, U, GREY, CONTIG, 0, LZW, k_type_tiff8},
        Sample_case{"rgba8", 4, 8, U, RGB, CONTIG, 0, ZIP, k_type_tiff8},
        Sample_case{"rgb16", 3, 16, U, RGB, CONTIG, 0, NONE, k_type_tiff_float},
        Sample_case{"rgb16_planes", 3, 16, U, RGB, SEP, 0, LZW, k_type_tiff_float},
        Sample_case{"grey16_signed", 1, 16, I, GREY, CONTIG, 0, NONE, k_type_tiff_float},
        Sample_case{"cmyk16", 4, 16, U, PHOTOMETRIC_SEPARATED, CONTIG, 0, NONE, k_type_tiff_float},
        Sample_case{"float", 3, 32, F, RGB, CONTIG, 0, NONE, k_type_tiff_float},
        Sample_case{"float_tiles", 3, 32, F, RGB, CONTIG, 16, ZIP, k_type_tiff_float},
        Sample_case{"float_tiled_planes", 3, 32, F, RGB, SEP, 16, NONE, k_type_tiff_float},
        Sample_case{"double_grey", 1, 64, F, GREY, CONTIG, 0, NONE, k_type_tiff_float}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TiffRead, PaletteGoesThroughColormap) {
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.samples = 1;
  l.photometric = PHOTOMETRIC_PALETTE;
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 256; ++i) l.colormap.push_back(uint16_t(((i * (c + 1)) % 256) * 257));
  const auto index = samples<uint8_t>(k_w * k_h, 1);
  const std::string path = dir.file("palette.tif");
  write_tiff(path, l, index.data());
  const Hdr_image img = load(path);
  EXPECT_EQ(img.type, uint32_t(k_type_tiff8));
  for (uint32_t i = 0; i < k_w * k_h; ++i)
    for (int c = 0; c < 3; ++c)
      ASSERT_EQ(img.data()[i + c * k_w * k_h], float((index[i] * (c + 1)) % 256)) << i;
}

TEST_F(TiffRead, Cmyk8IsConvertedToRgb) {
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.samples = 4;
  l.photometric = PHOTOMETRIC_SEPARATED;
  std::vector<uint8_t> cmyk;
  for (uint32_t i = 0; i < k_w * k_h; ++i) cmyk.insert(cmyk.end(), {0, 255, 0, 0});  // magenta ink
  const std::string path = dir.file("cmyk8.tif");
  write_tiff(path, l, cmyk.data());
  const Hdr_image img = load(path);
  EXPECT_EQ(img(3, 4, 0, 0), 255.f);
  EXPECT_EQ(img(3, 4, 0, 1), 0.f);
  EXPECT_EQ(img(3, 4, 0, 2), 255.f);
}

// XYZ of a few colours and their linear RGB through the reader's matrix.
// SGILOG keeps 2^-30..2^30; SGILOG24 only about 2^-11..16.
std::vector<float> xyz_samples(bool narrow_range) {
  std::vector<float> xyz;
  for (uint32_t i = 0; i < k_w * k_h; ++i) {
    const float s =
        narrow_range ? std::pow(2.f, float(i % 9) - 10.f) : std::pow(10.f, float(i % 11) - 5.f);
    const float r = s * (1 + (i % 7) * 0.9f), g = s * (1 + (i % 5) * 3.1f),
                b = s * (1 + (i % 3) * 4.f);
    xyz.push_back(0.412424f * r + 0.357579f * g + 0.180464f * b);
    xyz.push_back(0.212656f * r + 0.715158f * g + 0.0721856f * b);
    xyz.push_back(0.0193324f * r + 0.119193f * g + 0.950444f * b);
  }
  return xyz;
}

double to_rgb(const float* p, int c) {
  static const double m[3][3] = {{3.24071, -1.53726, -0.498571},
                                 {-0.969258, 1.87599, 0.0415557},
                                 {0.0556352, -0.203996, 1.05707}};
  return std::max(0.0, m[c][0] * p[0] + m[c][1] * p[1] + m[c][2] * p[2]);
}

TEST_F(TiffRead, LogLuvDecodesToLinearRgb) {
  for (uint16_t compression : {COMPRESSION_SGILOG, COMPRESSION_SGILOG24}) {
    const auto xyz = xyz_samples(compression == COMPRESSION_SGILOG24);
    const std::string path = dir.file("logluv" + std::to_string(compression) + ".tif");
    write_tiff_logluv(path, k_w, k_h, xyz.data(), compression);
    const Hdr_image img = load(path);
    EXPECT_EQ(img.type, uint32_t(k_type_tiff_logluv));
    const uint64_t n = img.plane_size();
    for (uint64_t i = 0; i < n; ++i) {
      // Compare luminance (the encoding's strength) and each channel loosely.
      const float* p = &xyz[3 * i];
      const double y = 0.212656 * img.data()[i] + 0.715158 * img.data()[i + n] +
                       0.0721856 * img.data()[i + 2 * n];
      ASSERT_NEAR(y, p[1], p[1] * (compression == COMPRESSION_SGILOG ? 0.005 : 0.02)) << i;
      // Chroma is quantised: the error scales with the pixel's brightest channel.
      const double scale = std::max({to_rgb(p, 0), to_rgb(p, 1), to_rgb(p, 2)});
      for (int c = 0; c < 3; ++c)
        ASSERT_NEAR(img.data()[i + c * n], to_rgb(p, c),
                    (compression == COMPRESSION_SGILOG ? 0.03 : 0.06) * scale)
            << i << " " << c;
    }
  }
}

TEST_F(TiffRead, LogLIsGreyLuminance) {
  std::vector<float> y;
  for (uint32_t i = 0; i < k_w * k_h; ++i) y.push_back(1e-3f * std::pow(1.7f, float(i % 40)));
  const std::string path = dir.file("logl.tif");
  write_tiff_logl(path, k_w, k_h, y.data());
  const Hdr_image img = load(path);
  EXPECT_EQ(img.type, uint32_t(k_type_tiff_logl));
  const uint64_t n = img.plane_size();
  for (uint64_t i = 0; i < n; ++i) {
    ASSERT_NEAR(img.data()[i], y[i], y[i] * 0.005) << i;
    ASSERT_EQ(img.data()[i], img.data()[i + n]);
    ASSERT_EQ(img.data()[i], img.data()[i + 2 * n]);
  }
}

TEST_F(TiffRead, SgilogKindsMustBeSgilogCompressed) {
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.bits = 16;
  l.photometric = PHOTOMETRIC_LOGLUV;
  std::vector<uint16_t> data(k_w * k_h * 3, 1);
  const std::string luv = dir.file("luv_none.tif");
  write_tiff(luv, l, data.data());
  EXPECT_EQ(error_of(luv, true), "Only support SGILOG compressed LogLuv data: " + luv);
  EXPECT_EQ(error_of(luv, false), "Only support SGILOG compressed LogLuv data: " + luv);

  l.samples = 1;
  l.photometric = PHOTOMETRIC_LOGL;
  const std::string logl = dir.file("logl_none.tif");
  write_tiff(logl, l, data.data());
  EXPECT_EQ(error_of(logl, true), "Only support SGILOG compressed LogL data: " + logl);
  EXPECT_EQ(error_of(logl, false), "Only support SGILOG compressed LogLuv data: " + logl);
}

TEST_F(TiffRead, MissingPhotometric) {
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.write_photometric = false;
  std::vector<uint8_t> data(k_w * k_h * 3, 1);
  const std::string path = dir.file("nophoto.tif");
  write_tiff(path, l, data.data());
  EXPECT_EQ(error_of(path, true), "TIFF has unspecified photometric type: " + path);
  EXPECT_EQ(error_of(path, false), "TIFF has unspecified photometric type: " + path);
}

TEST_F(TiffRead, MissingFile) {
  const std::string path = dir.file("none.tif");
  EXPECT_EQ(error_of(path, true), "Cannot open TIFF file: " + path);
  EXPECT_EQ(error_of(path, false), "Cannot open TIFF file: " + path);
}

TEST_F(TiffRead, CorruptStripIsReadError) {
  Tiff_layout l;
  l.width = k_w;
  l.height = k_h;
  l.compression = COMPRESSION_ADOBE_DEFLATE;
  const auto data = samples<uint8_t>(k_w * k_h * 3, 1);
  const std::string path = dir.file("corrupt.tif");
  write_tiff(path, l, data.data());
  uint64_t offset = 0, bytes = 0;
  tiff_first_strip(path, offset, bytes);
  std::string file = read_file_bytes(path);
  for (uint64_t i = offset; i < offset + bytes; ++i) file[i] = char(0xa5 ^ (i * 31));
  write_file_bytes(path, file);
  EXPECT_EQ(error_of(path, false), "Cannot read TIFF data from file: " + path);
}

// Every decoding path meets a corrupt first strip with the same Read_error, including
// the colour-converting one (palette, CMYK) and the SGILOG codec.
struct Corrupt_case {
  const char* name;
  uint16_t samples, photometric;
};

class TiffCorruptStrip : public TiffRead, public ::testing::WithParamInterface<Corrupt_case> {};

TEST_P(TiffCorruptStrip, IsReadError) {
  const Corrupt_case& c = GetParam();
  const std::string path = dir.file(std::string(c.name) + ".tif");
  if (c.photometric == PHOTOMETRIC_LOGLUV || c.photometric == PHOTOMETRIC_LOGL) {
    const std::vector<float> values(k_w * k_h * c.samples, 0.5f);
    if (c.photometric == PHOTOMETRIC_LOGLUV)
      write_tiff_logluv(path, k_w, k_h, values.data());
    else
      write_tiff_logl(path, k_w, k_h, values.data());
  } else {
    Tiff_layout l;
    l.width = k_w;
    l.height = k_h;
    l.samples = c.samples;
    l.photometric = c.photometric;
    l.compression = COMPRESSION_ADOBE_DEFLATE;
    if (c.photometric == PHOTOMETRIC_PALETTE)
      for (int i = 0; i < 3 * 256; ++i) l.colormap.push_back(uint16_t(i % 256 * 257));
    write_tiff(path, l, samples<uint8_t>(k_w * k_h * c.samples, 1).data());
  }
  uint64_t offset = 0, bytes = 0;
  tiff_first_strip(path, offset, bytes);
  std::string file = read_file_bytes(path);
  for (uint64_t i = offset; i < offset + bytes; ++i) file[i] = char(0xa5 ^ (i * 31));
  write_file_bytes(path, file);
  EXPECT_EQ(error_of(path, false), "Cannot read TIFF data from file: " + path);
}

INSTANTIATE_TEST_SUITE_P(All, TiffCorruptStrip,
                         ::testing::Values(Corrupt_case{"palette8", 1, PHOTOMETRIC_PALETTE},
                                           Corrupt_case{"cmyk8", 4, PHOTOMETRIC_SEPARATED},
                                           Corrupt_case{"logluv", 3, PHOTOMETRIC_LOGLUV},
                                           Corrupt_case{"logl", 1, PHOTOMETRIC_LOGL}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Rewrites the value of a SHORT or LONG tag of a little-endian classic TIFF in place.
void patch_tag(std::string& file, uint16_t tag, uint32_t value) {
  auto u16 = [&](size_t at) { return uint16_t(uint8_t(file[at]) | uint8_t(file[at + 1]) << 8); };
  auto u32 = [&](size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
  ASSERT_EQ(file.substr(0, 2), "II");
  const size_t ifd = u32(4);
  for (size_t e = 0; e < u16(ifd); ++e) {
    const size_t at = ifd + 2 + 12 * e;
    if (u16(at) != tag) continue;
    if (u16(at + 2) == TIFF_SHORT) value = std::min<uint32_t>(value, 0xffff);
    for (int i = 0; i < 4; ++i) file[at + 8 + i] = char(value >> (8 * i));
    return;
  }
  FAIL() << "tag " << tag << " not found";
}

TEST(TiffLimits, HugeDeclaredSizeIsRefusedBeforeAllocating) {
  Temp_dir dir;
  Tiff_layout l;
  l.width = 1;
  l.height = 1;
  l.samples = 3;
  l.bits = 32;
  l.sample_format = SAMPLEFORMAT_IEEEFP;
  const float px[] = {1.f, 2.f, 3.f};
  const std::string path = dir.file("huge.tif");
  write_tiff(path, l, px);
  std::string file = read_file_bytes(path);
  patch_tag(file, TIFFTAG_IMAGEWIDTH, 100000);
  patch_tag(file, TIFFTAG_IMAGELENGTH, 100000);
  write_file_bytes(path, file);
  TIFFErrorHandler quiet = TIFFSetWarningHandler(nullptr);
  try {
    Hdr_image img;
    read_tiff(img, path);
    ADD_FAILURE();
  } catch (const Read_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read TIFF data from file: " + path);
  }
  TIFFSetWarningHandler(quiet);
}

}  // namespace

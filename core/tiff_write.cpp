// TIFF output for image types 5, 6 and 7, straight through libtiff: every buffer is owned
// here and the handle is closed on every path.
#include "core/tiff_write.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/atomic_write.h"
#include "core/color_xyz.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/pixel_buffers.h"

namespace {

using cimg_library::CImgInstanceException;
using cimg_library::CImgIOException;

struct Tiff_closer {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using Tiff_ptr = std::unique_ptr<TIFF, Tiff_closer>;

// The last tags of a slice that every TIFF written here carries; compression and the
// sample layout must already stand, since the default strip size depends on them.
// Returns the rows per strip.
uint32_t set_strip_tags(TIFF* tif) {
  const uint32_t rows_per_strip = TIFFDefaultStripSize(tif, uint32_t(-1));
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows_per_strip);
  TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tif, TIFFTAG_SOFTWARE, "CImg");  // what the files have always named
  return rows_per_strip;
}

// Writes slice z of height rows in strips of rows_per_strip rows; fill(r, out) writes the
// samples of row r (counted over all slices) into out. False when a strip cannot be
// written or the strip size does not hold a row.
template <typename T, typename Fill>
bool write_strips(TIFF* tif, uint32_t z, uint32_t height, uint64_t row_values,
                  uint32_t rows_per_strip, Fill fill) {
  const tmsize_t strip_bytes = TIFFStripSize(tif);
  if (strip_bytes <= 0 || uint64_t(strip_bytes) < row_values * sizeof(T)) return false;
  std::vector<T> strip(uint64_t(strip_bytes) / sizeof(T));
  for (uint32_t row = 0; row < height; row += rows_per_strip) {
    const uint32_t rows = std::min(rows_per_strip, height - row);
    for (uint32_t r = 0; r < rows; ++r)
      fill(uint64_t(z) * height + row + r, strip.data() + uint64_t(r) * row_values);
    const tstrip_t index = TIFFComputeStrip(tif, row, 0);
    const tmsize_t bytes = tmsize_t(rows * row_values * sizeof(T));
    if (TIFFWriteEncodedStrip(tif, index, strip.data(), bytes) < 0) return false;
  }
  return true;
}

// Interleaves row r (counted over all slices) of every channel: out[x * channels + c].
void interleave_row(const Hdr_image& image, uint64_t r, float* out) {
  const uint64_t width = uint64_t(image.width()), plane = image.plane_size();
  const uint32_t channels = uint32_t(image.spectrum());
  const float* line = image.data() + r * width;
  for (uint64_t x = 0; x < width; ++x)
    for (uint32_t c = 0; c < channels; ++c) *out++ = line[x + c * plane];
}

// The smallest and largest value, NaN left out (both 0 when there is none).
void value_range(const float* v, uint64_t n, double& lo, double& hi) {
  float a = 0.f, b = 0.f;
  bool any = false;
  for (uint64_t i = 0; i < n; ++i) {
    if (std::isnan(v[i])) continue;
    if (!any || v[i] < a) a = v[i];
    if (!any || v[i] > b) b = v[i];
    any = true;
  }
  lo = a, hi = b;
}

// Types 5 and 6: contiguous RGB samples of sample_bits bits, uncompressed, written into
// the temporary file; the range tags give the smallest and largest sample value.
template <typename T, typename Fill>
void write_rgb_tiff(const Hdr_image& image, const std::string& temp, const std::string& path,
                    uint16_t sample_format, double lo, double hi, Fill fill) {
  // BigTIFF only where classic TIFF's 32-bit offsets could overflow.
  const bool big = uint64_t(image.size()) * sizeof(T) >= (uint64_t(1) << 31);
  Tiff_ptr tif(TIFFOpen(temp.c_str(), big ? "w8" : "w4"));
  if (!tif) throw Write_error("Cannot open image file for writing: " + path);
  const uint32_t width = image.width(), height = image.height();
  const uint16_t samples = uint16_t(image.spectrum());
  for (uint32_t z = 0; z < uint32_t(image.depth()); ++z) {
    TIFF* t = tif.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, sample_format);
    TIFFSetField(t, TIFFTAG_SMINSAMPLEVALUE, lo);
    TIFFSetField(t, TIFFTAG_SMAXSAMPLEVALUE, hi);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, uint16_t(8 * sizeof(T)));
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    const uint32_t rows_per_strip = set_strip_tags(t);
    if (!write_strips<T>(t, z, height, uint64_t(width) * samples, rows_per_strip, fill) ||
        !TIFFWriteDirectory(t))
      throw Write_error("Cannot write tiff data to file: " + path);
  }
  tif.reset();
  // A file whose directory cannot be read back (full disk) must not replace the old one.
  Tiff_ptr check(TIFFOpen(temp.c_str(), "r"));
  uint32_t w = 0, h = 0;
  if (!check || !TIFFGetField(check.get(), TIFFTAG_IMAGEWIDTH, &w) ||
      !TIFFGetField(check.get(), TIFFTAG_IMAGELENGTH, &h) || w != width || h != height)
    throw Write_error("Cannot write tiff data to file: " + path);
}

}  // namespace

void write_tiff8(const Hdr_image& image, const std::string& path) {
  if (image.spectrum() != 3) throw Write_error("Cannot write image data to file: " + path);
  // The range tags describe the bytes as written.
  uint8_t lo = 255, hi = 0;
  std::vector<uint8_t> row(uint64_t(image.width()) * 3);
  const uint64_t rows = uint64_t(image.height()) * uint64_t(image.depth());
  for (uint64_t r = 0; r < rows; ++r) {
    planes_to_rgb8_row(image, r, row.data());
    const auto [a, b] = std::minmax_element(row.begin(), row.end());
    lo = std::min(lo, *a);
    hi = std::max(hi, *b);
  }
  write_file_atomically(path, [&](const std::string& temp) {
    write_rgb_tiff<uint8_t>(image, temp, path, SAMPLEFORMAT_UINT, lo, hi,
                            [&](uint64_t r, uint8_t* out) { planes_to_rgb8_row(image, r, out); });
  });
}

void write_tiff_float_rgb(const Hdr_image& image, const std::string& path) {
  double lo, hi;
  value_range(image.data(), image.size(), lo, hi);
  write_file_atomically(path, [&](const std::string& temp) {
    write_rgb_tiff<float>(image, temp, path, SAMPLEFORMAT_IEEEFP, lo, hi,
                          [&](uint64_t r, float* out) { interleave_row(image, r, out); });
  });
}

void write_tiff_float(const Hdr_image& image, TIFF* handle, const std::string& path) {
  Tiff_ptr tif(handle);
  if (image.is_empty())
    throw CImgInstanceException(
        "CImg<%s>::save_tiff() : Instance image (%u,%u,%u,%u,%p) is empty (file '%s').", "float",
        image.width(), image.height(), image.depth(), image.spectrum(),
        static_cast<const void*>(image.data()), path.c_str());
  if (!tif) {
    tif.reset(TIFFOpen(path.c_str(), "w"));
    if (!tif)
      throw CImgIOException("CImg<%s>::save_tiff() : File '%s', error while writing tiff file.",
                            "float", path.c_str());
  }
  const uint32_t width = image.width(), height = image.height();
  const uint16_t samples = uint16_t(image.spectrum());
  for (uint32_t z = 0; z < uint32_t(image.depth()); ++z) {
    TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif.get(), TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, 32);
    const uint32_t rows_per_strip = set_strip_tags(tif.get());
    if (!write_strips<float>(tif.get(), z, height, uint64_t(width) * samples, rows_per_strip,
                             [&](uint64_t r, float* out) { interleave_row(image, r, out); }))
      throw CImgIOException(
          "CImg<%s>::save_tiff() : File '%s', an error occure while writing a strip.", "float",
          path.c_str());
    if (!TIFFWriteDirectory(tif.get()))
      throw CImgIOException("CImg<%s>::save_tiff() : File '%s', error while writing tiff file.",
                            "float", path.c_str());
  }
}

void write_tiff_logluv(const Hdr_image& image, const std::string& path) {
  Hdr_image xyz(image);  // the caller's image keeps its RGB values
  rgb_to_xyz(xyz);
  Atomic_file target(path);
  TIFF* tif = TIFFOpen(target.temp_path().c_str(), "w");
  if (!tif) throw Write_error("Cannot open image file for writing: " + path);
  // The data format pseudo-tag exists only once the SGILOG codec is selected.
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_SGILOG);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_LOGLUV);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_SGILOGDATAFMT, SGILOGDATAFMT_FLOAT);
  write_tiff_float(xyz, tif, path);
  target.commit();
}

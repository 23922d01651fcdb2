// TIFF output for image types 5, 6 and 7.
#include "core/tiff_write.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/atomic_write.h"
#include "core/color_xyz.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"

namespace {

using cimg_library::CImgInstanceException;
using cimg_library::CImgIOException;

struct Tiff_closer {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using Tiff_ptr = std::unique_ptr<TIFF, Tiff_closer>;

// The image library does not check that the final directory was written; a file whose
// directory cannot be read back (full disk) must not replace the old one.
void check_readable(const std::string& temp, const std::string& path, uint32_t width,
                    uint32_t height) {
  Tiff_ptr tif(TIFFOpen(temp.c_str(), "r"));
  uint32_t w = 0, h = 0;
  if (!tif || !TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w) ||
      !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h) || w != width || h != height)
    throw Write_error("Cannot write tiff data to file: " + path);
}

// The image library's TIFF writer on a handle held here: its own save_tiff leaks the
// handle (and the file descriptor) when a strip cannot be written.
template <typename T>
void save_through_library(const cimg_library::CImg<T>& image, const std::string& temp,
                          const std::string& path) {
  // BigTIFF only where classic TIFF's 32-bit offsets could overflow.
  const bool big = uint64_t(image.size()) * sizeof(T) >= (uint64_t(1) << 31);
  Tiff_ptr tif(TIFFOpen(temp.c_str(), big ? "w8" : "w4"));
  if (!tif) throw Write_error("Cannot open image file for writing: " + path);
  for (int z = 0; z < image.depth(); ++z) image._save_tiff(tif.get(), z, z, 0, nullptr, nullptr);
  tif.reset();
  check_readable(temp, path, image.width(), image.height());
}

}  // namespace

void write_tiff8(const Hdr_image& image, const std::string& path) {
  cimg_library::CImg<unsigned char> bytes(image.width(), image.height(), image.depth(),
                                          image.spectrum());
  const float* in = image.data();
  unsigned char* out = bytes.data();
  for (uint64_t i = 0, n = image.size(); i < n; ++i) {
    const float v = in[i];
    // !(v > 0) maps NaN to 0 before the conversion; the caller clamped to 255.
    out[i] = v > 0.f ? static_cast<unsigned char>(v < 255.f ? v : 255.f) : 0;
  }
  write_file_atomically(path,
                        [&](const std::string& temp) { save_through_library(bytes, temp, path); });
}

void write_tiff_float_rgb(const Hdr_image& image, const std::string& path) {
  write_file_atomically(path,
                        [&](const std::string& temp) { save_through_library(image, temp, path); });
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
  const uint64_t plane = image.plane_size();  // distance between channels
  for (uint32_t z = 0; z < uint32_t(image.depth()); ++z) {
    TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif.get(), TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, 32);
    const uint32_t rows_per_strip = TIFFDefaultStripSize(tif.get(), uint32_t(-1));
    TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, rows_per_strip);
    TIFFSetField(tif.get(), TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif.get(), TIFFTAG_SOFTWARE, "CImg");

    const tmsize_t strip_bytes = TIFFStripSize(tif.get());
    const uint64_t row_values = uint64_t(width) * samples;
    if (strip_bytes <= 0 || uint64_t(strip_bytes) < row_values * sizeof(float))
      throw CImgIOException(
          "CImg<%s>::save_tiff() : File '%s', an error occure while writing a strip.", "float",
          path.c_str());
    std::vector<float> strip(uint64_t(strip_bytes) / sizeof(float));
    for (uint32_t row = 0; row < height; row += rows_per_strip) {
      const uint32_t rows = std::min(rows_per_strip, height - row);
      uint64_t i = 0;
      for (uint32_t r = 0; r < rows; ++r) {
        const float* line = image.data(0, row + r, z, 0);
        for (uint32_t x = 0; x < width; ++x)
          for (uint16_t c = 0; c < samples; ++c) strip[i++] = line[x + c * plane];
      }
      const tstrip_t index = TIFFComputeStrip(tif.get(), row, 0);
      if (TIFFWriteEncodedStrip(tif.get(), index, strip.data(), tmsize_t(i * sizeof(float))) < 0)
        throw CImgIOException(
            "CImg<%s>::save_tiff() : File '%s', an error occure while writing a strip.", "float",
            path.c_str());
    }
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

// Writes TIFF files through libtiff for reader tests: 8/16/32-bit integer and float
// samples, grey, RGB, palette and CMYK, strips or tiles, plus SGILOG LogLuv and LogL.
#pragma once
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

struct Tiff_layout {
  uint32_t width = 0, height = 0;
  uint16_t samples = 3;                        // per pixel, extra samples included
  uint16_t bits = 8;                           // per sample: 1, 4, 8, 16, 32 or 64
  uint16_t sample_format = SAMPLEFORMAT_UINT;  // or SAMPLEFORMAT_IEEEFP, SAMPLEFORMAT_INT
  uint16_t photometric = PHOTOMETRIC_RGB;
  uint16_t compression = COMPRESSION_NONE;
  uint16_t planar = PLANARCONFIG_CONTIG;  // SEPARATE: data holds whole planes
  uint32_t rows_per_strip = 0;            // 0: libtiff's default
  uint32_t tile = 0;                      // > 0: square tiles (a multiple of 16)
  std::vector<uint16_t> extra_samples;    // e.g. {EXTRASAMPLE_UNASSALPHA}
  std::vector<uint16_t> colormap;         // palette: 3 * 2^bits entries (R, G, B)
  bool write_photometric = true;          // false leaves the tag out
};

/// Writes one image; data holds samples in the file's own layout (interleaved per pixel,
/// or plane after plane for PLANARCONFIG_SEPARATE), rows packed to whole bytes.
/// Throws std::runtime_error when libtiff refuses.
void write_tiff(const std::string& path, const Tiff_layout& layout, const void* data);

/// LogLuv file from interleaved CIE XYZ floats (SGILOG or SGILOG24 compression).
void write_tiff_logluv(const std::string& path, uint32_t width, uint32_t height, const float* xyz,
                       uint16_t compression = COMPRESSION_SGILOG);

/// LogL file from luminance floats (SGILOG compression).
void write_tiff_logl(const std::string& path, uint32_t width, uint32_t height, const float* y);

/// File offset and byte count of the first strip (or tile), for corrupting its data.
void tiff_first_strip(const std::string& path, uint64_t& offset, uint64_t& bytes);

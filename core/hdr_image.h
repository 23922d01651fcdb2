// The one image type: planar 32-bit float RGB with a file-type code and a statistics cache.
#pragma once
#include <CImg.h>

#include <cstdint>
#include <string>

/// File-format codes of an image (the file it came from or will be saved as).
enum Image_type : uint32_t {
  k_type_exr = 0,
  k_type_rgbe = 1,
  k_type_png = 2,
  k_type_jpeg = 3,
  k_type_unassigned = 4,  // never given to an image
  k_type_tiff8 = 5,       // TIFF with at most 8 bits per sample
  k_type_tiff_float = 6,  // TIFF with more; written as uncompressed 32-bit float
  k_type_tiff_logluv = 7,
  k_type_tiff_logl = 8,  // read only
  k_type_new_hdr = 9,    // result of HDR creation, no file yet
  k_type_new_ldr = 10,   // result of tone mapping, fusion or pseudo colour, no file yet
};

/// True for the codes whose values range up to the largest float: 0, 1, 6, 7, 8, 9.
bool is_hdr_type(uint32_t type);
/// The negation of is_hdr_type: 8-bit samples 0..255 held as floats.
bool is_ldr_type(uint32_t type);

/// Dynamic-range figures of an image, computed once and cached with it.
struct Image_stats {
  uint8_t computed = 0;
  float range_log10 = 0.f;     // log10(max) - log10(min non-zero luminance)
  float range_ev = 0.f;        // the same in EVs
  float range_log10_99 = 0.f;  // after dropping n/100 values at each end
  float range_log10_95 = 0.f;  // after dropping n/20 values at each end
};

/// Planar float image: all red values row by row, then all green, then all blue.
/// Value at (x, y, c) is data()[x + y*width + c*width*height*depth].
class Hdr_image : public cimg_library::CImg<float> {
 public:
  uint32_t type = k_type_new_hdr;  // creators set the code right after construction
  Image_stats stats;

  Hdr_image() = default;
  Hdr_image(const Hdr_image& other);
  Hdr_image& operator=(const Hdr_image& other);
  /// Allocates width*height*depth*spectrum floats, each set to fill.
  Hdr_image(uint32_t width, uint32_t height, uint32_t depth, uint32_t spectrum, float fill);
  /// Loads the file; its type comes from the extension. Throws Read_error.
  explicit Hdr_image(const std::string& path);
  /// Loads the file as the given type code. Throws Read_error.
  Hdr_image(const std::string& path, uint32_t type);

  /// Number of pixels of one plane (64-bit).
  uint64_t plane_size() const { return uint64_t(width()) * uint64_t(height()) * uint64_t(depth()); }
};

/// Pointers to the start of the red, green and blue planes.
void rgb_planes(Hdr_image& image, float*& red, float*& green, float*& blue);
void rgb_planes(const Hdr_image& image, const float*& red, const float*& green, const float*& blue);

/// Fills stats from the image's luminance (the statistics dialog's figures). An image
/// with no non-zero luminance gets four zeros and stays uncomputed.
void dynamic_range(Image_stats& stats, const Hdr_image& image);

// Changes of pixel layout between the image type and other buffers: planar and
// interleaved bytes, interleaved floats, and row pointers for the tone-mapping and HDR code.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "core/hdr_image.h"
#include "core/rgb8_image.h"

/// Writes R, G, B bytes per pixel (width*height*3 bytes, for Fl_RGB_Image) from the first
/// three planes of image. Throws std::invalid_argument when image has fewer than 3 planes.
void planar_rgb8_to_interleaved(uint8_t* out, const Rgb8_image& image);

/// Row r of the first three planes (the rows of every slice in turn) as width*3
/// interleaved R, G, B bytes, for the 8-bit writers: each value truncated toward zero,
/// NaN and values below 0 as 0, values from 255 up as 255. The image needs 3 planes.
void planes_to_rgb8_row(const Hdr_image& image, uint64_t r, uint8_t* row);

/// The reverse: fills the first three planes of image from width*height*3 interleaved
/// bytes. Throws std::invalid_argument when image has fewer than 3 planes.
void interleaved_rgb8_to_planar(Rgb8_image& image, const uint8_t* in);

/// An image as rows: height pointers, each to width interleaved R, G, B floats, in one
/// buffer that the object owns (the rows live as long as it does).
class Image_rows {
 public:
  Image_rows() = default;
  /// Rows of the given size, every value 0.
  Image_rows(uint64_t width, uint64_t height);

  float** rows() { return m_rows.data(); }
  const float* const* rows() const { return m_rows.data(); }
  float* row(uint64_t y) { return m_rows[y]; }
  const float* row(uint64_t y) const { return m_rows[y]; }
  uint64_t width() const { return m_width; }
  uint64_t height() const { return m_height; }

 private:
  uint64_t m_width = 0, m_height = 0;
  std::unique_ptr<float[]> m_values;
  std::vector<float*> m_rows;
};

/// Copies the first three planes of image into rows (tone mapping, HDR creation).
/// Throws std::invalid_argument when image has fewer than 3 planes.
Image_rows image_to_rows(const Hdr_image& image);

/// Copies rows of width*3 floats back into the first three planes of image. An image of
/// another size (or with fewer than 3 planes) is first reallocated to width x height x 3.
void rows_to_image(const float* const* rows, Hdr_image& image, uint64_t width, uint64_t height);
/// The same from an Image_rows.
void rows_to_image(const Image_rows& rows, Hdr_image& image);

/// A new buffer of width*height*spectrum floats, the channels of each pixel together
/// (the RGBE writer).
std::unique_ptr<float[]> image_to_interleaved(const Hdr_image& image);

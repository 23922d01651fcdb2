// JPEG reading with libjpeg: row by row to any consumer, and into the image type.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/rgb8_image.h"

class Hdr_image;

/// How a row-by-row decode ended. damaged: libjpeg warned (data cut short or corrupt) and
/// filled what it could not decode; every row was still handed over.
enum class Jpeg_decode_result { complete, damaged, too_large, failed };

/// Receives a JPEG's rows as libjpeg produces them: interleaved 8-bit samples, 1 per
/// pixel for grey files, 3 (R, G, B) for colour, 4 (the raw C, M, Y, K) for CMYK.
class Jpeg_row_sink {
 public:
  virtual ~Jpeg_row_sink() = default;
  /// Called once, before begin, with the file's EXIF Orientation (1 to 8; 1 when it has
  /// none): the rows come as stored, and the sink turns them upright (orient_planar and
  /// its kin) or keeps them as stored.
  virtual void set_orientation(uint32_t orientation) { (void)orientation; }
  /// Called once, before any row, with the output size (within the pixel limit). False
  /// ends the decode as failed.
  virtual bool begin(uint32_t width, uint32_t height, int channels) = 0;
  /// count rows from row first on, in order; rows[i] holds width * channels bytes.
  virtual void rows(uint32_t first, uint32_t count, const uint8_t* const* rows) = 0;
};

/// Decodes the file through libjpeg's default output (grey stays grey, YCbCr becomes RGB,
/// CMYK and YCCK become CMYK), handing every row to sink. Never prints; an exception
/// thrown by the sink passes on after the decoder was released.
Jpeg_decode_result decode_jpeg_rows(const std::string& path, Jpeg_row_sink& sink);

/// Gathers the rows into 3 planes of values 0-255 (T: float for the image type, unsigned
/// char for 8-bit planes), allocated once and written once: grey repeated into all three,
/// CMYK as its raw C, M, Y samples (K dropped, as the loader drops any fourth channel);
/// each value goes straight to its upright place.
template <typename T>
class Jpeg_planes_sink : public Jpeg_row_sink {
 public:
  Jpeg_planes_sink();
  ~Jpeg_planes_sink() override;
  void set_orientation(uint32_t orientation) override { m_orientation = orientation; }
  bool begin(uint32_t width, uint32_t height, int channels) override;
  void rows(uint32_t first, uint32_t count, const uint8_t* const* rows) override;
  /// Moves the gathered planes into image.
  void take(cimg_library::CImg<T>& image);

 private:
  void rows_turned(uint32_t first, uint32_t count, const uint8_t* const* rows);

  std::unique_ptr<cimg_library::CImg<T>> m_image;
  uint32_t m_width = 0;
  uint64_t m_plane = 0;
  int m_channels = 0;
  uint32_t m_orientation = 1;
  int64_t m_start = 0, m_step_x = 1, m_step_y = 0;  // the Orientation_walk
};
extern template class Jpeg_planes_sink<float>;
extern template class Jpeg_planes_sink<unsigned char>;

/// The rows as the image type's float planes.
using Jpeg_image_sink = Jpeg_planes_sink<float>;

/// Throws Read_error for too_large ("Image too large in file: " + path) and failed
/// ("Cannot read JPEG data from file: " + path); returns for the other results.
void throw_jpeg_failure(Jpeg_decode_result result, const std::string& path);

/// Reads the file into image, upright as its EXIF Orientation says: 3 planes of values
/// 0-255 (grey repeated into all three, CMYK as its raw C, M, Y samples). Returns false
/// when the data is damaged (cut short, corrupt): image then holds what libjpeg could
/// decode, the rest as it fills it. Throws Read_error for a declared size over the pixel
/// limit ("Image too large in file: ") and for data libjpeg cannot read ("Cannot read
/// JPEG data from file: " + path).
bool read_jpeg(Hdr_image& image, const std::string& path);
/// The same into 8-bit planes: the same decode, the same values as bytes.
bool read_jpeg(Rgb8_image& image, const std::string& path);

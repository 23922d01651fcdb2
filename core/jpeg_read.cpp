// JPEG reader on libjpeg. libjpeg reports errors by longjmp: the decoding function keeps
// only plain data in its frame, and the consumer's calls (which may throw) run between
// libjpeg calls, never inside one.
#include "core/jpeg_read.h"

#include <cstdio>
#include <exception>
#include <memory>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/jpeg_thumb.h"
#include "core/regular_file.h"

namespace {

// Rows asked of libjpeg per call: enough for its largest row group, so each call
// returns whole groups without copying inside the library.
constexpr int k_rows_per_read = 16;

Jpeg_decode_result decode(std::FILE* file, Jpeg_row_sink& sink, std::exception_ptr& thrown) {
  jpeg_decompress_struct cinfo;
  Jpeg_silent_error err;
  cinfo.err = jpeg_silent_errors(err);
  jpeg_create_decompress(&cinfo);
  unsigned char* volatile buffer = nullptr;
  volatile Jpeg_decode_result result = Jpeg_decode_result::failed;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::free(buffer);
    return result;
  }
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  if (!image_size_ok(cinfo.image_width, cinfo.image_height)) {
    result = Jpeg_decode_result::too_large;
    std::longjmp(err.jump, 1);
  }
  jpeg_start_decompress(&cinfo);
  const uint32_t w = cinfo.output_width, h = cinfo.output_height;
  const int channels = cinfo.output_components;
  if (channels != 1 && channels != 3 && channels != 4) std::longjmp(err.jump, 1);
  const size_t row_bytes = size_t(w) * size_t(channels);
  buffer = static_cast<unsigned char*>(std::malloc(row_bytes * k_rows_per_read));
  if (!buffer) std::longjmp(err.jump, 1);
  JSAMPROW rows[k_rows_per_read];
  for (int i = 0; i < k_rows_per_read; ++i) rows[i] = buffer + size_t(i) * row_bytes;
  try {
    if (!sink.begin(w, h, channels)) std::longjmp(err.jump, 1);
  } catch (...) {
    thrown = std::current_exception();
    std::longjmp(err.jump, 1);
  }
  while (cinfo.output_scanline < h) {
    const uint32_t first = cinfo.output_scanline;
    const JDIMENSION got = jpeg_read_scanlines(&cinfo, rows, k_rows_per_read);
    try {
      sink.rows(first, uint32_t(got), rows);
    } catch (...) {
      thrown = std::current_exception();
      std::longjmp(err.jump, 1);
    }
  }
  jpeg_finish_decompress(&cinfo);
  // The standard manager counts every warning ("Premature end of JPEG file", "Corrupt
  // JPEG data"): libjpeg has then filled in what it could not decode.
  const bool damaged = err.manager.num_warnings > 0;
  jpeg_destroy_decompress(&cinfo);
  std::free(buffer);
  return damaged ? Jpeg_decode_result::damaged : Jpeg_decode_result::complete;
}

}  // namespace

Jpeg_decode_result decode_jpeg_rows(const std::string& path, Jpeg_row_sink& sink) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(open_regular_file(path), &std::fclose);
  if (!file) return Jpeg_decode_result::failed;
  std::exception_ptr thrown;
  const Jpeg_decode_result result = decode(file.get(), sink, thrown);
  if (thrown) std::rethrow_exception(thrown);
  return result;
}

template <typename T>
Jpeg_planes_sink<T>::Jpeg_planes_sink() : m_image(std::make_unique<cimg_library::CImg<T>>()) {}

template <typename T>
Jpeg_planes_sink<T>::~Jpeg_planes_sink() = default;

template <typename T>
bool Jpeg_planes_sink<T>::begin(uint32_t width, uint32_t height, int channels) {
  // Uninitialised: every value is written once by rows().
  m_image->assign(width, height, 1, 3);
  m_width = width;
  m_plane = uint64_t(width) * height;
  m_channels = channels;
  return true;
}

template <typename T>
void Jpeg_planes_sink<T>::rows(uint32_t first, uint32_t count, const uint8_t* const* rows) {
  const uint32_t w = m_width;
  for (uint32_t i = 0; i < count; ++i) {
    T* r = m_image->data() + uint64_t(first + i) * w;
    T* g = r + m_plane;
    T* b = g + m_plane;
    const uint8_t* src = rows[i];
    if (m_channels == 1) {
      for (uint32_t x = 0; x < w; ++x) r[x] = g[x] = b[x] = T(src[x]);
    } else if (m_channels == 3) {
      for (uint32_t x = 0; x < w; ++x) {
        r[x] = T(src[3 * x]);
        g[x] = T(src[3 * x + 1]);
        b[x] = T(src[3 * x + 2]);
      }
    } else {
      for (uint32_t x = 0; x < w; ++x) {
        r[x] = T(src[4 * x]);
        g[x] = T(src[4 * x + 1]);
        b[x] = T(src[4 * x + 2]);
      }
    }
  }
}

template <typename T>
void Jpeg_planes_sink<T>::take(cimg_library::CImg<T>& image) {
  image.swap(*m_image);
}

template class Jpeg_planes_sink<float>;
template class Jpeg_planes_sink<unsigned char>;

void throw_jpeg_failure(Jpeg_decode_result result, const std::string& path) {
  if (result == Jpeg_decode_result::too_large) throw Read_error("Image too large in file: " + path);
  if (result == Jpeg_decode_result::failed)
    throw Read_error("Cannot read JPEG data from file: " + path);
}

namespace {

template <typename T>
bool read_planes(cimg_library::CImg<T>& image, const std::string& path) {
  Jpeg_planes_sink<T> sink;
  const Jpeg_decode_result result = decode_jpeg_rows(path, sink);
  throw_jpeg_failure(result, path);
  sink.take(image);
  return result == Jpeg_decode_result::complete;
}

}  // namespace

bool read_jpeg(Hdr_image& image, const std::string& path) {
  return read_planes<float>(image, path);
}

bool read_jpeg(Rgb8_image& image, const std::string& path) { return read_planes(image, path); }

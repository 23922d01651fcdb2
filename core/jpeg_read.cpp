// JPEG reader on libjpeg. libjpeg reports errors by longjmp: the decoding function keeps
// only plain data in its frame, and the consumer's calls (which may throw) run between
// libjpeg calls, never inside one.
#include "core/jpeg_read.h"

#include <cstdio>
#include <exception>
#include <memory>

#include "core/exif_orientation.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/image_orient.h"
#include "core/jpeg_thumb.h"
#include "core/regular_file.h"

// After jpeglib.h (through core/jpeg_thumb.h), which it needs.
#include <jerror.h>

namespace {

// Rows asked of libjpeg per call: enough for its largest row group, so each call
// returns whole groups without copying inside the library.
constexpr int k_rows_per_read = 16;

// The silent manager, also keeping the code of the first warning.
struct Decode_errors {
  Jpeg_silent_error silent;  // first: the error exit finds its jump point through it
  int first_warning = 0;
};

void note_warning(j_common_ptr cinfo, int level) {
  auto* errors = reinterpret_cast<Decode_errors*>(cinfo->err);
  if (level < 0 && errors->silent.manager.num_warnings == 0)
    errors->first_warning = errors->silent.manager.msg_code;
  if (level < 0) ++errors->silent.manager.num_warnings;
}

// Whether every coefficient got its last refinement: a progressive file cut between two
// scans decodes without a word about the scans it lacks. Read before the decoder is
// finished (which frees the record).
bool coefficients_complete(const jpeg_decompress_struct& cinfo) {
  if (!cinfo.progressive_mode) return true;
  for (int c = 0; c < cinfo.num_components; ++c)
    for (int k = 0; k < DCTSIZE2; ++k)
      if (cinfo.coef_bits[c][k] != 0) return false;
  return true;
}

// Whether a file that raised warnings still gave its whole picture. A file lacking only its
// final EOI marker raises one warning, "Premature end of JPEG file", once the decoder reads
// past its last byte (often before the last rows are out), with every scan line decoded
// from data. Data missing inside a scan raises a second ("premature end of data segment"),
// and a corrupt byte its own, so any other warning is damage. Arithmetic coding warns of
// nothing when its data runs out, so it gets no such leniency.
bool picture_whole(const jpeg_decompress_struct& cinfo, const Decode_errors& errors,
                   bool coefficients) {
  const long warnings = errors.silent.manager.num_warnings;
  if (warnings == 0) return true;
  return warnings == 1 && errors.first_warning == JWRN_JPEG_EOF && !cinfo.arith_code &&
         coefficients;
}

Jpeg_decode_result decode(std::FILE* file, Jpeg_row_sink& sink, std::exception_ptr& thrown) {
  jpeg_decompress_struct cinfo;
  Decode_errors errors;
  Jpeg_silent_error& err = errors.silent;
  cinfo.err = jpeg_silent_errors(err);
  err.manager.emit_message = note_warning;
  jpeg_create_decompress(&cinfo);
  unsigned char* volatile buffer = nullptr;
  volatile Jpeg_decode_result result = Jpeg_decode_result::failed;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::free(buffer);
    return result;
  }
  jpeg_stdio_src(&cinfo, file);
  keep_exif_markers(cinfo);
  jpeg_read_header(&cinfo, TRUE);
  const uint32_t orientation = jpeg_orientation(cinfo);
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
    sink.set_orientation(orientation);
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
  const bool coefficients = coefficients_complete(cinfo);
  jpeg_finish_decompress(&cinfo);
  // Every scan line was handed over; libjpeg fills in what it could not decode, and warns.
  const bool damaged = !picture_whole(cinfo, errors, coefficients);
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
  const Orientation_walk walk = orientation_walk(m_orientation, width, height);
  // Uninitialised: every value is written once by rows().
  m_image->assign(walk.shown_w, walk.shown_h, 1, 3);
  m_width = width;
  m_plane = uint64_t(width) * height;
  m_channels = channels;
  m_start = walk.start;
  m_step_x = walk.step_x;
  m_step_y = walk.step_y;
  return true;
}

template <typename T>
void Jpeg_planes_sink<T>::rows(uint32_t first, uint32_t count, const uint8_t* const* rows) {
  const uint32_t w = m_width;
  if (!orientation_is_normal(m_orientation)) {
    rows_turned(first, count, rows);
    return;
  }
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
void Jpeg_planes_sink<T>::rows_turned(uint32_t first, uint32_t count, const uint8_t* const* rows) {
  // Grey fills all three planes from its one sample; colour takes the first three.
  const int step = m_channels;
  const int green = step == 1 ? 0 : 1, blue = step == 1 ? 0 : 2;
  T* r = m_image->data();
  T* g = r + m_plane;
  T* b = g + m_plane;
  const int64_t base = m_start + int64_t(first) * m_step_y;
  if (m_step_x == 1 || m_step_x == -1) {  // mirrored or half turned: rows stay rows
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* src = rows[i];
      int64_t at = base + int64_t(i) * m_step_y;
      for (uint32_t x = 0; x < m_width; ++x, src += step, at += m_step_x) {
        r[at] = T(src[0]);
        g[at] = T(src[green]);
        b[at] = T(src[blue]);
      }
    }
    return;
  }
  // Quarter turned: a stored row becomes a column. Taking the rows of one call together
  // column by column writes each shown row's run of count neighbours at once, instead of
  // one value per cache line (a 24-megapixel photo loaded half again as slowly).
  for (uint32_t x = 0; x < m_width; ++x) {
    const int64_t column = base + int64_t(x) * m_step_x;
    const uint64_t offset = uint64_t(x) * uint64_t(step);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* src = rows[i] + offset;
      const int64_t at = column + int64_t(i) * m_step_y;
      r[at] = T(src[0]);
      g[at] = T(src[green]);
      b[at] = T(src[blue]);
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

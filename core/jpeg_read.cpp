// JPEG reader on libjpeg. libjpeg reports errors by longjmp: the decoding function keeps
// only plain data in its frame and frees its buffer on both paths.
#include "core/jpeg_read.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/jpeg_thumb.h"
#include "core/regular_file.h"

namespace {

enum class Jpeg_result { ok, too_large, failed };

// Interleaved samples in a malloc'ed buffer, as the decoder hands them back.
struct Jpeg_pixels {
  unsigned char* data = nullptr;
  uint64_t width = 0, height = 0;
  int channels = 0;
};

Jpeg_result decode(std::FILE* file, Jpeg_pixels* out) {
  jpeg_decompress_struct cinfo;
  Jpeg_silent_error err;
  cinfo.err = jpeg_silent_errors(err);
  jpeg_create_decompress(&cinfo);
  unsigned char* volatile pixels = nullptr;
  volatile Jpeg_result result = Jpeg_result::failed;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::free(pixels);
    return result;
  }
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  if (!image_size_ok(cinfo.image_width, cinfo.image_height)) {
    result = Jpeg_result::too_large;
    std::longjmp(err.jump, 1);
  }
  // libjpeg's own output spaces: grey stays grey, YCbCr becomes RGB, YCCK becomes CMYK.
  jpeg_start_decompress(&cinfo);
  const uint64_t w = cinfo.output_width, h = cinfo.output_height;
  const int channels = cinfo.output_components;
  if (channels != 1 && channels != 3 && channels != 4) std::longjmp(err.jump, 1);
  const size_t row_bytes = size_t(w) * size_t(channels);
  pixels = static_cast<unsigned char*>(std::malloc(row_bytes * h));
  if (!pixels) std::longjmp(err.jump, 1);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = pixels + size_t(cinfo.output_scanline) * row_bytes;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  *out = Jpeg_pixels{pixels, w, h, channels};
  return Jpeg_result::ok;
}

}  // namespace

void read_jpeg(Hdr_image& image, const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(open_regular_file(path),
                                                       &std::fclose);
  if (!file) throw Read_error("Cannot read JPEG data from file: " + path);
  Jpeg_pixels px;
  const Jpeg_result result = decode(file.get(), &px);
  if (result == Jpeg_result::too_large) throw Read_error("Image too large in file: " + path);
  if (result != Jpeg_result::ok) throw Read_error("Cannot read JPEG data from file: " + path);
  std::unique_ptr<unsigned char, void (*)(void*)> owner(px.data, &std::free);
  Hdr_image decoded(uint32_t(px.width), uint32_t(px.height), 1, uint32_t(px.channels), 0.f);
  const uint64_t n = px.width * px.height;
  for (int c = 0; c < px.channels; ++c) {
    float* plane = decoded.data() + uint64_t(c) * n;
    const unsigned char* src = px.data + c;
    for (uint64_t i = 0; i < n; ++i) plane[i] = float(src[i * uint64_t(px.channels)]);
  }
  image.swap(decoded);
}

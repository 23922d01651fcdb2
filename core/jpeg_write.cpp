// write_jpeg_image: libjpeg with the silent error manager, one converted row at a time.
#include "core/jpeg_write.h"

#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/jpeg_thumb.h"

namespace {

unsigned char to_byte(float v) {
  // !(v > 0) also catches NaN, whose conversion to an integer is undefined.
  return v > 0.f ? static_cast<unsigned char>(v < 255.f ? v : 255.f) : 0;
}

// Between the setjmp and a jump only plain data lives in this frame; the row buffer is
// owned by the caller.
bool encode(const Hdr_image& image, std::FILE* file, int quality, unsigned char* row) {
  jpeg_compress_struct cinfo;
  Jpeg_silent_error err;
  cinfo.err = jpeg_silent_errors(err);
  jpeg_create_compress(&cinfo);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = image.width();
  cinfo.image_height = image.height();
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const float *red, *green, *blue;
  rgb_planes(image, red, green, blue);
  const uint64_t width = image.width();
  while (cinfo.next_scanline < cinfo.image_height) {
    const uint64_t at = uint64_t(cinfo.next_scanline) * width;
    for (uint64_t x = 0; x < width; ++x) {
      row[3 * x] = to_byte(red[at + x]);
      row[3 * x + 1] = to_byte(green[at + x]);
      row[3 * x + 2] = to_byte(blue[at + x]);
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

void write_jpeg_image(const Hdr_image& image, std::FILE* file, const std::string& path,
                      int quality) {
  std::vector<unsigned char> row(uint64_t(image.width()) * 3);
  if (!encode(image, file, quality, row.data()))
    throw Write_error("Cannot write jpeg image to file: " + path);
}

// write_jpeg_image: libjpeg with the silent error manager, one converted row at a time.
#include "core/jpeg_write.h"

#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/jpeg_thumb.h"
#include "core/pixel_buffers.h"

namespace {

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
  while (cinfo.next_scanline < cinfo.image_height) {
    planes_to_rgb8_row(image, cinfo.next_scanline, row);
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

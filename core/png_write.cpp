// write_png_image: libpng with an error handler that jumps back, one converted row at a time.
#include "core/png_write.h"

#include <png.h>

#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/pixel_buffers.h"

namespace {

void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void on_warning(png_structp, png_const_charp) {}

// Between the setjmp and a jump only plain data lives in this frame; the row buffer is
// owned by the caller and libpng's structures are destroyed by it.
bool encode(png_structp png, png_infop info, const Hdr_image& image, std::FILE* file,
            png_bytep row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (uint64_t y = 0, h = uint64_t(image.height()); y < h; ++y) {
    planes_to_rgb8_row(image, y, row);
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

void write_png_image(const Hdr_image& image, std::FILE* file, const std::string& path) {
  std::vector<png_byte> row(uint64_t(image.width()) * 3);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool written = info && encode(png, info, image, file, row.data());
  png_destroy_write_struct(&png, &info);
  if (!written) throw Write_error("Cannot write png data to file: " + path);
}

#include "tests/support/png_bytes.h"

#include <png.h>

#include <stdexcept>
#include <vector>

namespace {

void append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

void no_flush(png_structp) {}

}  // namespace

std::string make_png_bytes(int width, int height, unsigned char r, unsigned char g, unsigned char b,
                           unsigned char a) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) throw std::runtime_error("libpng: cannot create write structures");
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 4);
  for (int x = 0; x < width; ++x) {
    row[4 * x] = r;
    row[4 * x + 1] = g;
    row[4 * x + 2] = b;
    row[4 * x + 3] = a;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng: write failed");
  }
  png_set_write_fn(png, &out, append, no_flush);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

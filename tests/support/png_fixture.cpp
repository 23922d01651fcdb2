// libpng fixture writer.
#include "tests/support/png_fixture.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

// Everything that may longjmp, with only plain locals; row is width*channels*bytes long.
bool write_all(png_structp png, png_infop info, FILE* file, const Png_layout* l,
               const png_color* colours, int colour_count, const uint8_t* src, uint8_t* row,
               size_t row_bytes) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  static const int k_types[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                PNG_COLOR_TYPE_RGB_ALPHA};
  png_set_IHDR(png, info, l->width, l->height, l->bits,
               colour_count ? PNG_COLOR_TYPE_PALETTE : k_types[l->channels - 1],
               l->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (colour_count) png_set_PLTE(png, info, colours, colour_count);
  png_write_info(png, info);
  if (l->bits == 16) png_set_swap(png);  // host (little-endian) order in, big-endian out
  if (l->bits < 8) png_set_packing(png);
  // Interlaced: every pass takes the whole rows again and picks its own pixels.
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (uint32_t y = 0; y < l->height; ++y) {
      std::memcpy(row, src + y * row_bytes, row_bytes);
      png_write_row(png, row);
    }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

void write_png(const std::string& path, const Png_layout& l, const void* data) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) throw std::runtime_error("cannot create " + path);
  std::vector<png_color> colours;
  for (size_t i = 0; i + 2 < l.palette.size(); i += 3)
    colours.push_back({l.palette[i], l.palette[i + 1], l.palette[i + 2]});
  const int channels = colours.empty() ? l.channels : 1;
  std::vector<uint8_t> row(size_t(l.width) * channels * (l.bits == 16 ? 2 : 1));
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && write_all(png, info, file.get(), &l, colours.data(), int(colours.size()),
                                    static_cast<const uint8_t*>(data), row.data(), row.size());
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error("libpng failed writing " + path);
}

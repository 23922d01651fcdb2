// libjpeg fixture writer.
#include "tests/support/jpeg_fixture.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <csetjmp>
#include <memory>
#include <stdexcept>

namespace {
struct Error_manager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};
void on_error(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Error_manager*>(info->err)->jump, 1);
}
}  // namespace

void write_jpeg(const std::string& path, uint32_t width, uint32_t height, int components,
                const uint8_t* data, int quality, const std::string& app1, bool progressive) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) throw std::runtime_error("cannot create " + path);
  jpeg_compress_struct cinfo;
  Error_manager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = on_error;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    throw std::runtime_error("libjpeg failed writing " + path);
  }
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file.get());
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  if (!app1.empty())
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(app1.data()),
                      unsigned(app1.size()));
  while (cinfo.next_scanline < height) {
    JSAMPROW row = const_cast<JSAMPROW>(data + size_t(cinfo.next_scanline) * width * components);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
}

// JPEG reader: the image library decodes; libjpeg reads the header first so an absurd
// declared size is refused before any allocation.
#include "core/jpeg_read.h"

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <csetjmp>
#include <memory>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"

namespace {

struct Quiet_error_manager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void on_error(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Quiet_error_manager*>(info->err)->jump, 1);
}
void on_message(j_common_ptr, int) {}

// Only plain locals here, as setjmp requires. False when libjpeg rejects the header (the
// image library then reports the fault itself).
bool header_size(std::FILE* file, jpeg_decompress_struct* cinfo, Quiet_error_manager* err,
                 uint64_t* width, uint64_t* height) {
  cinfo->err = jpeg_std_error(&err->base);
  err->base.error_exit = on_error;
  err->base.emit_message = on_message;
  if (setjmp(err->jump)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  jpeg_stdio_src(cinfo, file);
  jpeg_read_header(cinfo, TRUE);
  *width = cinfo->image_width;
  *height = cinfo->image_height;
  jpeg_destroy_decompress(cinfo);
  return true;
}

}  // namespace

void read_jpeg(Hdr_image& image, const std::string& path) {
  {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    jpeg_decompress_struct cinfo;
    Quiet_error_manager err;
    uint64_t width = 0, height = 0;
    if (file && header_size(file.get(), &cinfo, &err, &width, &height) &&
        !image_size_ok(width, height))
      throw Read_error("Image too large in file: " + path);
  }
  image.load_jpeg(path.c_str());
}

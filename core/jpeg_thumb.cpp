// read_jpeg_rgb and write_jpeg for the thumbnail cache, and the silent libjpeg errors.
//
// libjpeg reports errors by longjmp here: between the setjmp and the jump only plain data
// lives in the frame, and nothing the error path reads changes after the setjmp.
#include "core/jpeg_thumb.h"

#include <limits>

#include "core/atomic_write.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/regular_file.h"

namespace {

constexpr int k_cache_quality = 90;

void silent_output(j_common_ptr) {}

// Decodes into a malloc'ed buffer; null on any failure.
unsigned char* decode_rgb(std::FILE* file, uint32_t& width, uint32_t& height) {
  jpeg_decompress_struct cinfo;
  Jpeg_silent_error err;
  cinfo.err = jpeg_silent_errors(err);
  jpeg_create_decompress(&cinfo);
  unsigned char* volatile result = nullptr;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::free(result);
    return nullptr;
  }
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;  // grey files are expanded; CMYK refuses
  jpeg_start_decompress(&cinfo);
  const uint64_t w = cinfo.output_width, h = cinfo.output_height;
  // Rows are taken as three bytes per pixel: anything else would overrun them.
  if (cinfo.output_components != 3 || !image_size_ok(w, h)) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  const size_t row_bytes = size_t(w) * 3;
  result = static_cast<unsigned char*>(std::malloc(row_bytes * h));
  if (!result) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = result + size_t(cinfo.output_scanline) * row_bytes;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  // Any warning (data cut short, corrupt data) means libjpeg filled what it could not
  // decode: such a thumbnail is not shown, and the caller makes a fresh one.
  const bool damaged = err.manager.num_warnings > 0;
  jpeg_destroy_decompress(&cinfo);
  if (damaged) {
    std::free(result);
    return nullptr;
  }
  width = uint32_t(w);
  height = uint32_t(h);
  return result;
}

// Encodes into an open file; false on a libjpeg error.
bool encode_rgb(std::FILE* file, const unsigned char* rgb, uint32_t width, uint32_t height) {
  jpeg_compress_struct cinfo;
  Jpeg_silent_error err;
  cinfo.err = jpeg_silent_errors(err);
  if (!rgb) return false;
  jpeg_create_compress(&cinfo);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, k_cache_quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const size_t row_bytes = size_t(width) * 3;
  while (cinfo.next_scanline < cinfo.image_height) {
    // libjpeg only reads the rows it is given.
    JSAMPROW row = const_cast<unsigned char*>(rgb) + size_t(cinfo.next_scanline) * row_bytes;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

jpeg_error_mgr* jpeg_silent_errors(Jpeg_silent_error& err) {
  jpeg_error_mgr* manager = jpeg_std_error(&err.manager);
  manager->error_exit = jpeg_error_exit;
  manager->output_message = silent_output;
  return manager;
}

void jpeg_error_exit(j_common_ptr cinfo) {
  // The manager is the first member of its Jpeg_silent_error.
  std::longjmp(reinterpret_cast<Jpeg_silent_error*>(cinfo->err)->jump, 1);
}

Rgb_bytes read_jpeg_rgb(const std::string& path, uint32_t& width, uint32_t& height,
                        uint32_t& channels) {
  std::FILE* file = open_regular_file(path);
  if (!file) return nullptr;
  uint32_t w = 0, h = 0;
  Rgb_bytes pixels(decode_rgb(file, w, h));
  std::fclose(file);
  if (!pixels) return nullptr;
  width = w;
  height = h;
  channels = 3;
  return pixels;
}

void write_jpeg(const std::string& path, const unsigned char* rgb, uint32_t width,
                uint32_t height) {
  const char* const error = "Cannot write jpeg image to file: ";
  Atomic_file target(path, error);
  std::FILE* file = std::fopen(target.temp_path().c_str(), "wb");
  if (!file) throw Write_error(error + path);
  const bool encoded = encode_rgb(file, rgb, width, height);
  // A close failure (full disk) is a libjpeg-style failure: no file, no message.
  if (std::fclose(file) != 0 || !encoded) return;
  target.commit();
}

// The JPEG, OpenEXR, PNG and RGBE header probes.
#include "core/header_probe.h"

#include <OpenEXR/ImfCRgbaFile.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "core/exif_orientation.h"
#include "core/image_errors.h"
#include "core/image_orient.h"
#include "core/jpeg_thumb.h"
#include "core/regular_file.h"
#include "core/rgbe_read.h"

namespace {

// libjpeg part of read_jpeg_header; false on any libjpeg error.
bool jpeg_size(std::FILE* file, uint32_t& width, uint32_t& height) {
  jpeg_decompress_struct cinfo;
  Jpeg_silent_error err;
  cinfo.err = jpeg_silent_errors(err);
  jpeg_create_decompress(&cinfo);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_stdio_src(&cinfo, file);
  keep_exif_markers(cinfo);
  jpeg_read_header(&cinfo, TRUE);
  // The output size without scaling, as start_decompress would give it, but without
  // decoding a progressive file's whole scan data.
  jpeg_calc_output_dimensions(&cinfo);
  // The size as the picture is shown: upright, as the loader delivers it.
  const Orientation_walk shown =
      orientation_walk(jpeg_orientation(cinfo), cinfo.output_width, cinfo.output_height);
  width = shown.shown_w;
  height = shown.shown_h;
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// libpng part of read_png_header, after the signature; false on a libpng error.
bool png_size(std::FILE* file, uint32_t& width, uint32_t& height) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(*png_set_longjmp_fn(png, std::longjmp, sizeof(std::jmp_buf)))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_set_sig_bytes(png, 8);
  png_read_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

void read_jpeg_header(const std::string& path, uint32_t& width, uint32_t& height) {
  std::FILE* file = open_regular_file(path);
  uint32_t w = 0, h = 0;
  const bool ok = file && jpeg_size(file, w, h);
  if (file) std::fclose(file);
  if (!ok) throw Read_error("Cannot read jpeg header from file: " + path);
  width = w;
  height = h;
}

void read_exr_header(const std::string& path, uint32_t& width, uint32_t& height) {
  ImfInputFile* file = is_regular_file(path) ? ImfOpenInputFile(path.c_str()) : nullptr;
  if (!file) throw Read_error("Cannot read openexr header from file: " + path);
  int x_min = 0, y_min = 0, x_max = -1, y_max = -1;
  ImfHeaderDataWindow(ImfInputHeader(file), &x_min, &y_min, &x_max, &y_max);
  ImfCloseInputFile(file);
  // Computed in 64 bits: a window spanning the whole int range must not wrap.
  const int64_t w = int64_t(x_max) - x_min + 1, h = int64_t(y_max) - y_min + 1;
  if (w <= 0 || h <= 0 || w > INT64_C(0xffffffff) || h > INT64_C(0xffffffff))
    throw Read_error("Cannot read openexr header from file: " + path);
  width = uint32_t(w);
  height = uint32_t(h);
}

void read_png_header(const std::string& path, uint32_t& width, uint32_t& height) {
  std::FILE* file = open_regular_file(path);
  if (!file) throw Read_error("Cannot read PNG header from file: " + path);
  png_byte signature[8];
  if (std::fread(signature, 1, 8, file) != 8) {
    std::fclose(file);
    throw Read_error("Cannot read the PNG signature from file: " + path);
  }
  if (png_sig_cmp(signature, 0, 8) != 0) {
    std::fclose(file);
    throw Read_error("Incorrect PNG signature: " + path);
  }
  uint32_t w = 0, h = 0;
  const bool ok = png_size(file, w, h);
  std::fclose(file);
  if (!ok) throw Read_error("Failed to read PNG file: " + path);
  width = w;
  height = h;
}

void read_rgbe_header(const std::string& path, uint32_t& width, uint32_t& height) {
  std::FILE* file = open_regular_file(path);
  if (!file) throw Read_error("Cannot read rgbe header from file: " + path);
  uint32_t w = 0, h = 0;
  const int result = rgbe_read_header(file, w, h, nullptr);
  std::fclose(file);
  if (result != 0) throw Read_error("Cannot read rgbe header from file: " + path);
  width = w;
  height = h;
}

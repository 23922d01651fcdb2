// Embedded EXIF thumbnails, decoded from memory: no scratch file, so two running
// instances never read each other's thumbnail.
//
// libjpeg reports errors by longjmp: between the setjmp and the jump only plain data lives
// in the frame, and the output vector is sized before the setjmp.
#include "core/exif_thumbnail.h"

#include <jpeglib.h>
#include <libexif/exif-loader.h>

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <memory>

#include "core/exif_orientation.h"
#include "core/jpeg_thumb.h"
#include "core/regular_file.h"

namespace {

// Reads the header and checks the output shape; false (and the decompressor left for the
// caller to destroy) when it cannot be decoded as three channels within max_pixels.
bool start(jpeg_decompress_struct& cinfo, uint64_t max_pixels) {
  jpeg_read_header(&cinfo, TRUE);
  const uint64_t w = cinfo.image_width, h = cinfo.image_height;
  if (w == 0 || h == 0 || w > max_pixels || h > max_pixels / w) return false;
  cinfo.out_color_space = JCS_RGB;  // grey is expanded; CMYK and YCCK refuse
  jpeg_start_decompress(&cinfo);
  return cinfo.output_components == 3 && cinfo.output_width == w && cinfo.output_height == h;
}

bool decode(const uint8_t* bytes, size_t size, uint8_t* volatile* out, uint32_t& width,
            uint32_t& height, uint64_t max_pixels) {
  jpeg_decompress_struct cinfo;
  Jpeg_silent_error err;
  cinfo.err = jpeg_silent_errors(err);
  jpeg_create_decompress(&cinfo);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::free(*out);
    *out = nullptr;
    return false;
  }
  jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(size));
  if (!start(cinfo, max_pixels)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const size_t row_bytes = size_t(cinfo.output_width) * 3;
  *out = static_cast<uint8_t*>(std::malloc(row_bytes * cinfo.output_height));
  if (!*out) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = *out + size_t(cinfo.output_scanline) * row_bytes;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  width = cinfo.output_width;
  height = cinfo.output_height;
  jpeg_finish_decompress(&cinfo);
  // A warning (a thumbnail cut short, corrupt data) means libjpeg's grey fill: refused.
  const bool damaged = err.manager.num_warnings > 0;
  jpeg_destroy_decompress(&cinfo);
  if (damaged) {
    std::free(*out);
    *out = nullptr;
    return false;
  }
  return true;
}

}  // namespace

bool decode_jpeg_rgb_memory(const uint8_t* bytes, size_t size, std::vector<uint8_t>& rgb,
                            uint32_t& width, uint32_t& height, uint64_t max_pixels) {
  // libjpeg takes the size as unsigned long; an EXIF block never comes close.
  if (!bytes || size == 0 || size > (1ull << 30)) return false;
  uint8_t* volatile pixels = nullptr;
  uint32_t w = 0, h = 0;
  if (!decode(bytes, size, &pixels, w, h, max_pixels)) return false;
  Rgb_bytes owned(pixels);
  rgb.assign(owned.get(), owned.get() + size_t(w) * h * 3);
  width = w;
  height = h;
  return true;
}

// libexif's own file reader opens with fopen, which waits on a named pipe; the loader is
// fed from a file known to be regular instead. It stops asking once it has the EXIF block.
Exif_record read_exif_record(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(open_regular_file(path), &std::fclose);
  if (!file) return nullptr;
  std::unique_ptr<ExifLoader, void (*)(ExifLoader*)> loader(exif_loader_new(), &exif_loader_unref);
  if (!loader) return nullptr;
  unsigned char buffer[4096];
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
    if (n == 0 || !exif_loader_write(loader.get(), buffer, unsigned(n))) break;
  }
  return Exif_record(exif_loader_get_data(loader.get()));
}

bool load_exif_thumbnail(const std::string& path, Thumbnail_planes& out, Exif_record& exif) {
  exif.reset();
  exif = read_exif_record(path);
  if (!exif || !exif->data || exif->size == 0) return false;
  std::vector<uint8_t> rgb;
  uint32_t w = 0, h = 0;
  if (!decode_jpeg_rgb_memory(exif->data, exif->size, rgb, w, h)) return false;
  try {
    // Cameras store the thumbnail as they store the picture: the tag turns both.
    Thumbnail_planes fitted =
        oriented_thumbnail(thumbnail_from_rgb(rgb.data(), w, h), exif_orientation(exif.get()));
    if (fitted.empty()) return false;
    out = std::move(fitted);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

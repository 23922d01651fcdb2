// The format table and its lookups; the few adapters that give every format's probe,
// reader and writer the table's signatures.
#include "core/image_formats.h"

#include <FL/filename.H>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>

#include "core/exr_read.h"
#include "core/exr_write.h"
#include "core/hdr_image.h"
#include "core/header_probe.h"
#include "core/image_errors.h"
#include "core/image_save.h"
#include "core/jpeg_read.h"
#include "core/png_read.h"
#include "core/rgbe_read.h"
#include "core/rgbe_write.h"
#include "core/tiff_read.h"
#include "core/tiff_write.h"

namespace {

template <void (*Probe)(const std::string&, uint32_t&, uint32_t&)>
void probe_size(const std::string& path, uint32_t& width, uint32_t& height, uint32_t&) {
  Probe(path, width, height);
}

template <void (*Write)(const Hdr_image&, const std::string&)>
void write_plain(const Hdr_image& image, const std::string& path, const Write_source&) {
  Write(image, path);
}

// A damaged JPEG must not pass for the picture, in the image type or in byte planes (Image:
// Hdr_image or Rgb8_image): the decoded part travels in the exception for callers that
// show it anyway.
template <typename Image>
void read_whole_jpeg(Image& image, const std::string& path) {
  if (read_jpeg(image, path)) return;
  auto partial = std::make_shared<Hdr_image>();
  if constexpr (std::is_same<Image, Hdr_image>::value)
    partial->swap(image);
  else
    partial->assign(image);
  image.assign();
  partial->type = k_type_jpeg;
  throw Incomplete_image_error("Image data is damaged; the picture is incomplete: " + path,
                               std::move(partial));
}

// By code; 4 is never given to an image and has no row.
constexpr Image_format k_formats[] = {
    {k_type_exr,
     {".exr"},
     true,
     false,
     probe_size<read_exr_header>,
     read_exr,
     write_plain<write_exr>,
     nullptr},
    {k_type_rgbe,
     {".hdr", ".rgbe", ".pic"},
     true,
     false,
     probe_size<read_rgbe_header>,
     read_rgbe,
     write_plain<write_rgbe>,
     nullptr},
    {k_type_png,
     {".png"},
     false,
     false,
     probe_size<read_png_header>,
     read_png,
     write_png_file,
     read_png},
    {k_type_jpeg,
     {".jpg", ".jpeg"},
     false,
     false,
     probe_size<read_jpeg_header>,
     read_whole_jpeg<Hdr_image>,
     write_jpeg_file,
     read_whole_jpeg<Rgb8_image>},
    {k_type_tiff8,
     {".tif", ".tiff"},
     false,
     true,
     read_tiff_header,
     read_tiff,
     write_plain<write_tiff8>,
     read_tiff},
    {k_type_tiff_float,
     {".tif", ".tiff"},
     true,
     true,
     read_tiff_header,
     read_tiff,
     write_plain<write_tiff_float_rgb>,
     nullptr},
    {k_type_tiff_logluv,
     {".tif", ".tiff"},
     true,
     true,
     read_tiff_header,
     read_tiff,
     write_plain<write_tiff_logluv>,
     nullptr},
    {k_type_tiff_logl,
     {".tif", ".tiff"},
     true,
     true,
     read_tiff_header,
     read_tiff,
     nullptr,
     nullptr},
    {k_type_new_hdr, {nullptr}, true, false, nullptr, nullptr, nullptr, nullptr},
    {k_type_new_ldr, {nullptr}, false, false, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

const Image_format* image_format(uint32_t type) {
  for (const Image_format& row : k_formats)
    if (row.type == type) return &row;
  return nullptr;
}

const Image_format* image_format_for_extension(std::string extension) {
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  for (const Image_format& row : k_formats)
    for (const char* ext : row.extensions)
      if (ext && extension == ext) return &row;
  return nullptr;
}

const Image_format* image_format_for_name(const std::string& name) {
  return image_format_for_extension(fl_filename_ext(name.c_str()));
}

const char* saved_extension(uint32_t type) {
  const Image_format* row = image_format(type);
  return row && row->extensions[0] ? row->extensions[0] : "";
}

bool is_writable_type(uint32_t type) {
  const Image_format* row = image_format(type);
  return row && row->write;
}

const Image_format* image_formats_begin() { return std::begin(k_formats); }
const Image_format* image_formats_end() { return std::end(k_formats); }

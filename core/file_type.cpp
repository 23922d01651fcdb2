// File-type detection from the extension table; TIFF files are classified by their tags.
#include "core/file_type.h"

#include <FL/filename.H>

#include <cctype>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/tiff_read.h"

namespace {

struct Extension {
  const char* text;
  uint32_t type;
};

// Marks the rows whose code comes from the file's tags.
constexpr uint32_t k_from_tiff_tags = 0xffffffffu;

constexpr Extension k_extensions[] = {
    {".jpg", k_type_jpeg}, {".jpeg", k_type_jpeg},     {".png", k_type_png},
    {".hdr", k_type_rgbe}, {".rgbe", k_type_rgbe},     {".pic", k_type_rgbe},
    {".exr", k_type_exr},  {".tif", k_from_tiff_tags}, {".tiff", k_from_tiff_tags},
};

}  // namespace

uint32_t image_type_from_extension(const std::string& path) {
  std::string ext = fl_filename_ext(path.c_str());
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  for (const Extension& row : k_extensions) {
    if (ext != row.text) continue;
    if (row.type != k_from_tiff_tags) return row.type;
    uint32_t width = 0, height = 0, type = 0;
    read_tiff_header(path, width, height, type);
    return type;
  }
  throw Read_error("Unsupported file type: " + path);
}

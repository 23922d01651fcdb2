// File-type detection from the format table; TIFF files are classified by their tags.
#include "core/file_type.h"

#include "core/image_errors.h"
#include "core/image_formats.h"

uint32_t image_type_from_extension(const std::string& path) {
  const Image_format* format = image_format_for_name(path);
  if (!format) throw Read_error("Unsupported file type: " + path);
  uint32_t type = format->type;
  if (format->type_from_tags) {
    uint32_t width = 0, height = 0;
    format->probe(path, width, height, type);
  }
  return type;
}

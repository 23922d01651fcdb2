// The chooser's output formats (see the header).
#include "viewer/save_formats.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "core/file_names.h"
#include "core/hdr_image.h"
#include "core/image_formats.h"

namespace {

// In the order of k_hdr_save_formats and k_ldr_save_formats; each entry's extensions are
// its format's row.
constexpr uint32_t k_hdr_list[] = {k_type_exr, k_type_rgbe, k_type_tiff_logluv, k_type_tiff_float};
constexpr uint32_t k_ldr_list[] = {k_type_jpeg, k_type_tiff8,       k_type_png,       k_type_exr,
                                   k_type_rgbe, k_type_tiff_logluv, k_type_tiff_float};

std::string lower_extension(const std::string& path) {
  std::string folder, name;
  split_path(path, folder, name);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {};
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return ext;
}

}  // namespace

int named_format_count(bool hdr_list) {
  return hdr_list ? int(std::size(k_hdr_list)) : int(std::size(k_ldr_list));
}

int preselected_format(bool hdr_list, uint32_t source_type) {
  if (hdr_list) {
    switch (source_type) {
      case k_type_rgbe:
        return 1;
      case k_type_tiff_logluv:
      case k_type_tiff_logl:
        return 2;
      case k_type_tiff_float:
        return 3;
      default:
        return 0;
    }
  }
  switch (source_type) {
    case k_type_tiff8:
      return 1;
    case k_type_png:
      return 2;
    default:
      return 0;
  }
}

bool complete_output_path(bool hdr_list, int entry, std::string& path, uint32_t& type) {
  if (entry < 0 || entry >= named_format_count(hdr_list)) return false;
  type = hdr_list ? k_hdr_list[entry] : k_ldr_list[entry];
  const Image_format& format = *image_format(type);
  const std::string ext = lower_extension(path);
  for (const char* kept : format.extensions)
    if (kept && ext == kept) return true;
  path += format.extensions[0];
  return true;
}

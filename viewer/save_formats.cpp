// The chooser's output formats (see the header).
#include "viewer/save_formats.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "core/file_names.h"
#include "core/hdr_image.h"

namespace {

struct Save_format {
  uint32_t type;
  const char* appended;
  const char* kept[3];  // extensions taken as they are typed, lower case; null ends
};

constexpr Save_format k_exr = {k_type_exr, ".exr", {".exr", nullptr, nullptr}};
constexpr Save_format k_rgbe = {k_type_rgbe, ".hdr", {".hdr", ".rgbe", ".pic"}};
constexpr Save_format k_logluv = {k_type_tiff_logluv, ".tif", {".tif", ".tiff", nullptr}};
constexpr Save_format k_tiff_float = {k_type_tiff_float, ".tif", {".tif", ".tiff", nullptr}};
constexpr Save_format k_jpeg = {k_type_jpeg, ".jpg", {".jpg", ".jpeg", nullptr}};
constexpr Save_format k_tiff8 = {k_type_tiff8, ".tif", {".tif", ".tiff", nullptr}};
constexpr Save_format k_png = {k_type_png, ".png", {".png", nullptr, nullptr}};

// In the order of k_hdr_save_formats and k_ldr_save_formats.
constexpr Save_format k_hdr_list[] = {k_exr, k_rgbe, k_logluv, k_tiff_float};
constexpr Save_format k_ldr_list[] = {k_jpeg, k_tiff8, k_png, k_exr, k_rgbe, k_logluv,
                                      k_tiff_float};

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
      case k_type_rgbe: return 1;
      case k_type_tiff_logluv:
      case k_type_tiff_logl: return 2;
      case k_type_tiff_float: return 3;
      default: return 0;
    }
  }
  switch (source_type) {
    case k_type_tiff8: return 1;
    case k_type_png: return 2;
    default: return 0;
  }
}

bool complete_output_path(bool hdr_list, int entry, std::string& path, uint32_t& type) {
  if (entry < 0 || entry >= named_format_count(hdr_list)) return false;
  const Save_format& format = hdr_list ? k_hdr_list[entry] : k_ldr_list[entry];
  type = format.type;
  const std::string ext = lower_extension(path);
  for (const char* kept : format.kept)
    if (kept && ext == kept) return true;
  path += format.appended;
  return true;
}

bool is_writable_type(uint32_t type) {
  switch (type) {
    case k_type_exr:
    case k_type_rgbe:
    case k_type_png:
    case k_type_jpeg:
    case k_type_tiff8:
    case k_type_tiff_float:
    case k_type_tiff_logluv: return true;
    default: return false;
  }
}

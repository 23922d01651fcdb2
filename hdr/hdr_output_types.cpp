// Output types and names of batch HDR creation; the extensions are the format table's.
#include "hdr/hdr_output_types.h"

#include "core/hdr_image.h"
#include "core/image_formats.h"

const Output_type k_hdr_output_types[4] = {
    {"OpenEXR (*.exr)", k_type_exr, saved_extension(k_type_exr)},
    {"RGBE (*.hdr)", k_type_rgbe, saved_extension(k_type_rgbe)},
    {"TIFF-LogLuv (*.tif)", k_type_tiff_logluv, saved_extension(k_type_tiff_logluv)},
    {"Tiff-Uncompressed (*.tif)", k_type_tiff_float, saved_extension(k_type_tiff_float)},
};

const Output_type k_ldr_output_types[3] = {
    {"JPEG (*.jpg)", k_type_jpeg, saved_extension(k_type_jpeg)},
    {"TIFF (*.tif)", k_type_tiff8, saved_extension(k_type_tiff8)},
    {"PNG (*.png)", k_type_png, saved_extension(k_type_png)},
};

namespace {

template <size_t N>
const Output_type& entry(const Output_type (&table)[N], int index) {
  return index >= 0 && size_t(index) < N ? table[index] : table[0];
}

}  // namespace

const Output_type& hdr_output_type(int index) { return entry(k_hdr_output_types, index); }
const Output_type& ldr_output_type(int index) { return entry(k_ldr_output_types, index); }

std::string numbered_output_path(const std::string& folder, const std::string& base, uint64_t k,
                                 const char* extension) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += base;
  path += std::to_string(k);
  path += extension ? extension : "";
  return path;
}

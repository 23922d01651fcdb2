// image_info_lines and the table of EXIF fields.
#include "viewer/image_info_text.h"

#include <libexif/exif-data.h>

#include <filesystem>
#include <system_error>

#include "core/exif_thumbnail.h"
#include "viewer/info_lines.h"

const std::array<Exif_field, 45> k_exif_fields = {{
    {"Make", 0x010F, k_tab_camera},
    {"Model", 0x0110, k_tab_camera},
    {"XResolution", 0x011A, k_tab_camera},
    {"YResolution", 0x011B, k_tab_camera},
    {"Resolution unit", 0x0128, k_tab_camera},
    {"Software", 0x0131, k_tab_camera},
    {"Exif version", 0x9000, k_tab_camera},
    {"Components configuration", 0x9101, k_tab_camera},
    {"Compressed bits per pixel", 0x9102, k_tab_camera},
    {"Focal length in 35mm film", 0xA405, k_tab_camera},
    // In the GPS IFD the same two tags are the latitude reference and the latitude.
    {"Interoperability index", 0x0001, k_tab_camera, k_interoperability_ifd},
    {"Interoperability version", 0x0002, k_tab_camera, k_interoperability_ifd},
    {"Orientation", 0x0112, k_tab_image},
    {"Date-time", 0x0132, k_tab_image},
    {"YCBCR positioning", 0x0213, k_tab_image},
    {"Compression", 0x0103, k_tab_image},
    {"ISO speed ratings", 0x8827, k_tab_image},
    {"Date-time original", 0x9003, k_tab_image},
    {"Date-time digitized", 0x9004, k_tab_image},
    {"Pixel X dimension", 0xA002, k_tab_image},
    {"Pixel Y dimension", 0xA003, k_tab_image},
    {"Exposure time", 0x829A, k_tab_conditions},
    {"F-number", 0x829D, k_tab_conditions},
    {"Exposure program", 0x8822, k_tab_conditions},
    {"Exposure bias value", 0x9204, k_tab_conditions},
    {"Max aperture value", 0x9205, k_tab_conditions},
    {"Metering mode", 0x9207, k_tab_conditions},
    {"Subject distance", 0x9206, k_tab_conditions},
    {"Light source", 0x9208, k_tab_conditions},
    {"Flash", 0x9209, k_tab_conditions},
    {"Focal length", 0x920A, k_tab_conditions},
    {"Sensing method", 0xA217, k_tab_conditions},
    {"Scene type", 0xA301, k_tab_conditions},
    {"Exposure mode", 0xA402, k_tab_conditions},
    {"White balance", 0xA403, k_tab_conditions},
    {"Digital zoom ratio", 0xA404, k_tab_conditions},
    {"Scene capture type", 0xA406, k_tab_conditions},
    {"Gain control", 0xA407, k_tab_conditions},
    {"Contrast", 0xA408, k_tab_conditions},
    {"Saturation", 0xA409, k_tab_conditions},
    {"Sharpness", 0xA40A, k_tab_conditions},
    {"Flash pix version", 0xA000, k_tab_other},
    {"Color space", 0xA001, k_tab_other},
    {"File source", 0xA300, k_tab_other},
    {"Custom rendered", 0xA401, k_tab_other},
}};

static_assert(k_interoperability_ifd == EXIF_IFD_INTEROPERABILITY, "libexif's IFD number");

namespace {

uint64_t size_of_file(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : uint64_t(size);
}

}  // namespace

Info_lines image_info_lines(const std::string& path, const std::string& name, uint64_t width,
                            uint64_t height) {
  Info_lines lines;
  std::vector<std::string>& general = lines[k_tab_general];
  general.push_back(info_line("Name", name));
  general.push_back(info_line("Size", file_size_text(size_of_file(path))));
  general.push_back(info_line("Width", std::to_string(width) + " px"));
  general.push_back(info_line("Height", std::to_string(height) + " px"));

  const Exif_record exif = read_exif_record(path);
  if (!exif) return lines;
  for (const Exif_field& field : k_exif_fields) {
    // exif_data_get_entry searches IFD 0, IFD 1, EXIF, GPS and Interoperability in that
    // order.
    ExifEntry* entry = field.ifd == k_any_ifd
                           ? exif_data_get_entry(exif.get(), ExifTag(field.tag))
                           : exif_content_get_entry(exif->ifd[field.ifd], ExifTag(field.tag));
    if (!entry) continue;
    char value[1024] = {};
    exif_entry_get_value(entry, value, sizeof value);
    value[sizeof value - 1] = '\0';  // a cut value may come without its end
    lines[field.tab].push_back(info_line(field.label, value));
  }
  return lines;
}

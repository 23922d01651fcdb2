// The text of the "Image Info" dialog: the "General" lines of a file and up to 45 EXIF
// fields sorted onto the "Camera", "Image", "Conditions" and "Other" tabs.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

/// The dialog's tabs, in their order.
enum Info_tab : int { k_tab_general = 0, k_tab_camera, k_tab_image, k_tab_conditions, k_tab_other };
constexpr int k_info_tabs = 5;

/// Where a field's tag is looked up: IFD 0, IFD 1, EXIF, GPS and Interoperability in that
/// order (first hit), or one IFD alone (libexif's ExifIfd number).
constexpr int k_any_ifd = -1;
constexpr int k_interoperability_ifd = 4;

/// One EXIF field shown by the dialog: its label, its tag, the tab it goes to and the
/// IFDs searched.
struct Exif_field {
  const char* label;
  uint16_t tag;
  Info_tab tab;
  int ifd = k_any_ifd;
};
/// The fields in the order their lines appear.
extern const std::array<Exif_field, 45> k_exif_fields;

/// The lines of each tab (info_line form), indexed by Info_tab.
using Info_lines = std::array<std::vector<std::string>, k_info_tabs>;

/// "Name", "Size" (the file's size; 0 when it cannot be read), "Width" and "Height" (the
/// caller's numbers, not the file's) on the "General" tab, then one line per EXIF field
/// the file holds, each tag taken from the first of IFD 0, IFD 1, EXIF, GPS and
/// Interoperability that holds it (the interoperability index and version from the
/// Interoperability IFD only) and worded by libexif. A file without EXIF data (or
/// one that cannot be read) gives the "General" lines only.
Info_lines image_info_lines(const std::string& path, const std::string& name, uint64_t width,
                            uint64_t height);

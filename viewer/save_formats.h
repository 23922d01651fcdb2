// The output formats of the "Save File As..." chooser: its two format lists, the entry
// preselected for a source, and the image type code and file name each entry gives.
#pragma once
#include <cstdint>
#include <string>

/// The formats offered for an HDR source (tab-separated filter entries).
inline constexpr char k_hdr_save_formats[] =
    "OPENEXR format (*.exr)\tRGBE format (*.hdr)\tTIFF-HDR (LogLuv) format (*.tif)\t"
    "TIFF-HDR (Uncompressed) format (*.tif)";
/// The formats offered for every other source.
inline constexpr char k_ldr_save_formats[] =
    "JPEG format (*.jpg)\tTIFF format (*.tif)\tPNG format (*.png)\tOPENEXR format (*.exr)\t"
    "RGBE format (*.hdr)\tTIFF-HDR (LogLuv) format (*.tif)\tTIFF-HDR (Uncompressed) format "
    "(*.tif)";

/// Named entries of a list (the chooser appends its own after them): 4 HDR, 7 other.
int named_format_count(bool hdr_list);

/// The entry preselected for a source type code. HDR list: 0 and 9 -> 0 (OpenEXR), 1 -> 1,
/// 7 and 8 -> 2 (LogLuv), 6 -> 3; other list: 3 and 10 -> 0 (JPEG), 5 -> 1, 2 -> 2; any
/// other code -> 0.
int preselected_format(bool hdr_list, uint32_t source_type);

/// For a named entry of the list: type becomes the entry's type code, and path keeps its
/// extension (from the file name's last '.', compared without regard to case) when the
/// format takes it, else gets the format's own extension appended ("a.png" saved as JPEG
/// becomes "a.png.jpg"). Returns false, leaving both untouched, for an entry that names
/// no format (the chooser's "All Files" and custom entries).
bool complete_output_path(bool hdr_list, int entry, std::string& path, uint32_t& type);

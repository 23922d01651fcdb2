// Icon files stored inside the program, written into the user-data folder when missing
// (so a user may replace them) and loaded from there.
#pragma once
#include <cstddef>
#include <string>

class Fl_File_Icon;
class Fl_PNG_Image;

/// Writes bytes to path unless a file of that name can already be opened. The bytes go
/// to a temporary file beside it, renamed into place only when complete. True when the
/// file is there afterwards.
bool write_file_if_missing(const std::string& path, const unsigned char* bytes, std::size_t size);

/// Writes the embedded file into the user-data folder when missing, then loads it into
/// icon (Fl_File_Icon::load). Without a user-data folder, or when the file cannot be
/// written, the icon stays as it was.
void load_embedded_file_icon(Fl_File_Icon* icon, const std::string& file_name,
                             const unsigned char* bytes, std::size_t size);

/// Writes the embedded file into the user-data folder when missing, then sets image to a
/// new Fl_PNG_Image of that file (owned by the caller). Without a user-data folder the
/// image is decoded from the bytes themselves; image is never left null.
void load_embedded_png(Fl_PNG_Image*& image, const std::string& file_name,
                       const unsigned char* bytes, std::size_t size);

// Program start-up: the steps main runs before the event loop, as testable functions.
#pragma once
#include <string>
#include <vector>

/// The filter of the "Save File As..." chooser: five tab-separated entries.
inline constexpr char k_save_as_filter[] =
    "OPENEXR format (*.exr)\tRGBE format (*.hdr)\tJPEG format (*.jpg)\tTIFF format "
    "(*.tif)\tTIFF-HDR (LogLuv) format(*.tif)";

/// The path made absolute against the working folder; absolute and empty paths are
/// returned unchanged.
std::string absolute_path(const std::string& path);

/// The folders the help page is looked for in, in order: the working folder (as an empty
/// string), the program's own folder, and the data folder of an installed program.
std::vector<std::string> help_folders();

/// The first folder + name of folders that names an existing file; name alone when none
/// does (the help viewer then shows its own error page, as for any missing page).
std::string find_data_file(const std::string& name, const std::vector<std::string>& folders);

/// Every start-up step up to the event loop: icons, the global dialogs and windows in
/// their order, the shown main window and, with an argument after the program name, the
/// image it names. Call once per process.
void start_program(int argc, char** argv);

/// Opens the command-line image: loads it and shows it in a viewer, and makes its folder
/// the browser's current folder. A file that cannot be read for any reason gives an alert
/// and nothing else; it never ends the program.
void open_command_line_image(const std::string& path);

/// start_program, then the event loop; returns 0.
int run_program(int argc, char** argv);

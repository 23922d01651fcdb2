// Folder path rules of the browser: the one normal form of a folder, its parent, paths
// typed by the user, and folder paths shown as menu labels. No toolkit here.
#pragma once
#include <string>

/// A folder in normal form: the path with '/' appended unless it ends in one already.
/// The empty path becomes "/".
std::string folder_path(const std::string& path);

/// The folder above a normal-form folder: its text up to and including the separator
/// before the last component ("/a/b/" gives "/a/"); empty for "/" or a path holding no
/// separator but the last character.
std::string parent_folder(const std::string& folder);

/// A typed location made absolute and normal: empty text gives empty; a relative text is
/// taken relative to working_dir (leading "./" and "../" components consumed against it,
/// as FLTK's fl_filename_absolute does); every run of '/' becomes one; ends in '/'.
std::string resolve_typed_path(const std::string& text, const std::string& working_dir);

/// The text of a menu item showing a folder: every '&' and '@' doubled, so the toolkit
/// neither takes '&' for a shortcut mark nor '@' for the start of a symbol (which would
/// cut the label there).
std::string folder_menu_label(const std::string& folder);

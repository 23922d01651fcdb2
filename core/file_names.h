// Pure string helpers for file names and paths: output names of batch jobs, splitting a
// path into folder, base name and extension, and the check of names typed by the user.
#pragma once
#include <string>

/// file_name up to (not including) its last '.', then suffix, then extension; an empty
/// extension keeps the file's own (from its last '.', dot included).
/// make_output_name("IMG_0001.JPG", "_resize", ".png") == "IMG_0001_resize.png".
/// Throws std::out_of_range when file_name holds no '.'.
std::string make_output_name(const std::string& file_name, const std::string& suffix,
                             const std::string& extension);

/// base = the characters after the last '/' up to the last '.';
/// extension = from the last '.' to the end, dot included.
/// Throws std::out_of_range when the path holds no '.'.
void split_file_name(const std::string& path, std::string& base, std::string& extension);

/// folder = up to and including the last '/' (empty when there is none); file_name =
/// the rest. Only '/' separates: a backslash is a character of a name like any other.
void split_path(const std::string& path, std::string& folder, std::string& file_name);

/// A name the user may give a file or folder: not empty, and only ASCII letters and
/// digits, '_', '-' and ' '. Bytes outside ASCII (UTF-8 letters included) are refused.
bool is_valid_file_name(const std::string& name);

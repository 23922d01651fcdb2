// The few operating-system services the program needs, behind one small interface
// (POSIX here): file status and the user's folders.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

/// The user's home folder from HOME, ending in '/'; empty when HOME is not set.
std::string home_dir();

/// The process's working folder, ending in '/'; empty when it cannot be read.
std::string working_dir();

/// The folder holding the running program, ending in '/'; empty when it cannot be read.
std::string program_dir();

/// True when path names a folder this process can open for listing.
bool can_list_dir(const std::string& path);

/// True when path names a folder in which this process (as its effective user) may
/// create files.
bool can_write_dir(const std::string& path);

}  // namespace platform

// File functions used throughout the program (platform_files.cpp).

/// Creates one folder (its parent must exist): 0 on success, -1 on failure.
int make_directory(const std::string& path);
/// Removes an empty folder: 0 on success, -1 on failure (a folder with entries stays).
int remove_directory(const std::string& path);
/// True when something of that name exists: a file or a folder alike.
bool file_exists(const std::string& path);
/// True when the file's status can be read and its owner-read permission bit is set
/// (platform_status.cpp).
bool owner_can_read(const std::string& path);
/// Size in bytes of an open file (64-bit), leaving the position at the start;
/// -1 when the file cannot be sought.
std::int64_t file_size(std::FILE* file);

// File identity (platform_identity.cpp).

/// True when both paths reach one existing file or folder (same device and inode),
/// however spelled: symbolic links, "//", "/./" and "../" alike.
bool same_file(const std::string& a, const std::string& b);

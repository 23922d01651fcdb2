// Opening files from a photographer's folders without ever waiting on them.
#pragma once
#include <cstdio>
#include <string>

/// Opens path for binary reading when it names a regular file; nullptr otherwise. The open
/// itself never blocks: a named pipe, socket or device among the pictures of a folder would
/// stop the folder scan until some writer appeared.
std::FILE* open_regular_file(const std::string& path);

/// The same, as a blocking-mode descriptor (for libraries that take one); -1 otherwise.
int open_regular_fd(const std::string& path);

/// True when path names a regular file; never blocks.
bool is_regular_file(const std::string& path);

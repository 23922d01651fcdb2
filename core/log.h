// Diagnostics for whoever started the program from a terminal: progress of long
// computations on standard output, failures that the user is told about in other words on
// standard error. A line each, flushed at once. Texts from files (paths, EXIF strings)
// are arguments of "%s", never the format.
#pragma once

/// One line on standard output.
void log_info(const char* format, ...) __attribute__((format(printf, 1, 2)));
/// One line on standard error.
void log_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

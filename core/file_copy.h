// Byte-for-byte file copy (saving an unchanged file in its own format, pasting files).
#pragma once
#include <string>

/// Copies every byte of source to destination. The source is opened first; the copy is
/// written to a temporary file beside the destination and renamed into place, so a
/// failure never leaves a damaged or empty destination. Source and destination naming
/// the same file (same device and inode) leave it untouched.
/// Throws Write_error "Cannot copy file to: " + destination when the source cannot be
/// read or is no regular file (a named pipe is never waited for), or the copy cannot be
/// written.
void copy_file(const std::string& destination, const std::string& source);

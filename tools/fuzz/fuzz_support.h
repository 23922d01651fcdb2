// Shared by the fuzz targets: the bytes of one input as a file, for readers taking a path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

/// Writes the input to a file with that extension in this process's own temporary
/// folder (one file per extension, rewritten for every input) and returns its path.
std::string fuzz_input_file(const uint8_t* data, size_t size, const std::string& extension);

// One small, valid file of every kind the loader reads, written into a folder: seeds for
// corruption tests and fuzzing, and inputs for round trips.
#pragma once
#include <string>
#include <vector>

/// Writes the files into folder (ending in '/') and returns their paths. Names end in the
/// extension of their kind ("rgbe_rle.hdr", "tiff_logluv.tif", "exr_half_offset.exr", ...).
std::vector<std::string> write_sample_files(const std::string& folder);

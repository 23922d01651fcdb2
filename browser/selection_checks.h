// Checks of the selection made before a dialog is opened for it.
#pragma once
#include <vector>

#include "core/selected_file.h"

/// Alert texts of the checks.
inline constexpr char k_hdr_size_alert[] =
    "All images should have the same resolution for HDR creation.";
inline constexpr char k_fusion_size_alert[] =
    "All images should have the same resolution for fusing exposures.";
inline constexpr char k_resize_size_alert[] =
    "Selected images should have the same dimensions for batch resize.";
inline constexpr char k_crop_size_alert[] =
    "Selected images should have the same dimensions for batch crop.";

/// True when every file has the width and height of the first (always for 0 or 1 files).
inline bool same_dimensions(const std::vector<Selected_file>& files) {
  for (const Selected_file& f : files)
    if (f.width != files.front().width || f.height != files.front().height) return false;
  return true;
}

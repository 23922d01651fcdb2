// Writes OpenEXR scanline files through the OpenEXR library: any channel names, a data
// window anywhere (negative origins too), half or float samples.
#pragma once
#include <string>
#include <vector>

struct Exr_channel {
  std::string name;   // "R", "G", "B", "Y", ...
  const float* data;  // width*height values, row by row
};

struct Exr_layout {
  int width = 0, height = 0;
  int origin_x = 0, origin_y = 0;  // data window's top-left corner
  bool half = false;               // HALF samples (saturate to +inf above 65504)
  bool compress = true;            // ZIP compression; false writes uncompressed
};

/// Writes the channels; throws the library's exception on failure.
void write_exr(const std::string& path, const Exr_layout& layout,
               const std::vector<Exr_channel>& channels);

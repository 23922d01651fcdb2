// Writes PNG files through libpng for reader tests: grey, grey+alpha, RGB, RGBA, palette;
// 1, 2, 4, 8 or 16 bits per sample; plain or Adam7-interlaced.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Png_layout {
  uint32_t width = 0, height = 0;
  int channels = 3;              // 1 grey, 2 grey+alpha, 3 RGB, 4 RGBA (ignored for palette)
  int bits = 8;                  // 8 or 16; 1, 2, 4 or 8 for grey and palette
  std::vector<uint8_t> palette;  // non-empty: palette image with these R,G,B triples
  bool interlaced = false;       // Adam7 interlacing
};

/// data: interleaved samples, uint8_t for 8 bits or less per sample (one index per byte for
/// palette images), uint16_t in host order for 16 bits. Throws std::runtime_error.
void write_png(const std::string& path, const Png_layout& layout, const void* data);

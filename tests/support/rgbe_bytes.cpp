// Radiance RGBE byte builder for reader tests and benchmarks.
#include "tests/support/rgbe_bytes.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

Rgbe_pixel rgbe_from_float(float red, float green, float blue) {
  const float v = std::max({red, green, blue});
  if (!(v >= 1e-32f)) return {0, 0, 0, 0};
  int e = 0;
  const float scale = std::frexp(v, &e) * 256.f / v;
  return {uint8_t(red * scale), uint8_t(green * scale), uint8_t(blue * scale), uint8_t(e + 128)};
}

std::string rgbe_raw(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out.push_back(char(uint8_t(b)));
  return out;
}

std::string rgbe_resolution(uint32_t width, uint32_t height) {
  return "-Y " + std::to_string(height) + " +X " + std::to_string(width);
}

std::string rgbe_header(const std::string& resolution_line, const std::string& lines) {
  return lines + "\n" + resolution_line + "\n";
}

std::string rgbe_flat(const std::vector<Rgbe_pixel>& pixels) {
  std::string out;
  out.reserve(pixels.size() * 4);
  for (const Rgbe_pixel& p : pixels) out.append(reinterpret_cast<const char*>(p.data()), 4);
  return out;
}

std::string rgbe_rle_scanline(const Rgbe_pixel* row, uint32_t width) {
  if (width < 8 || width > 0x7fff) throw std::invalid_argument("rgbe_rle_scanline: width");
  std::string out = rgbe_raw({2, 2, int(width >> 8), int(width & 0xff)});
  for (int c = 0; c < 4; ++c) {
    uint32_t x = 0;
    while (x < width) {
      // Length of the run of equal bytes starting at x (at most 127).
      uint32_t run = 1;
      while (x + run < width && run < 127 && row[x + run][c] == row[x][c]) ++run;
      if (run >= 3) {
        out.push_back(char(uint8_t(128 + run)));
        out.push_back(char(row[x][c]));
        x += run;
        continue;
      }
      // A literal stretch up to the next run of three or more (at most 128 bytes).
      uint32_t end = x;
      while (end < width && end - x < 128) {
        if (end + 2 < width && row[end][c] == row[end + 1][c] && row[end][c] == row[end + 2][c])
          break;
        ++end;
      }
      if (end == x) end = x + 1;
      out.push_back(char(uint8_t(end - x)));
      for (uint32_t i = x; i < end; ++i) out.push_back(char(row[i][c]));
      x = end;
    }
  }
  return out;
}

std::string rgbe_file(uint32_t width, uint32_t height, const std::vector<Rgbe_pixel>& pixels,
                      bool rle) {
  if (pixels.size() != uint64_t(width) * height) throw std::invalid_argument("rgbe_file: size");
  std::string out = rgbe_header(rgbe_resolution(width, height));
  if (!rle) return out + rgbe_flat(pixels);
  for (uint32_t y = 0; y < height; ++y)
    out += rgbe_rle_scanline(&pixels[uint64_t(y) * width], width);
  return out;
}

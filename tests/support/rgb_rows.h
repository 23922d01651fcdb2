// Interleaved RGB rows for tests of the row-based operators: one buffer with a pointer per row.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb_rows {
  int32_t width = 0, height = 0;
  std::vector<float> data;  // width * height * 3 floats, row after row
  std::vector<float*> pointers;

  Rgb_rows(int32_t w, int32_t h, float grey = 0.f);
  Rgb_rows(const Rgb_rows& other);
  Rgb_rows& operator=(const Rgb_rows& other);

  float* const* rows() { return pointers.data(); }
  float* at(int32_t x, int32_t y) { return data.data() + 3 * (int64_t(y) * width + x); }
  void set(int32_t x, int32_t y, float r, float g, float b);
  void set_grey(int32_t x, int32_t y, float v) { set(x, y, v, v, v); }
  /// Luminance 0.2125 R + 0.7154 G + 0.0721 B of a pixel.
  double luminance(int32_t x, int32_t y);
};

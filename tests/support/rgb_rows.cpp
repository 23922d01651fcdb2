#include "tests/support/rgb_rows.h"

namespace {
void point(Rgb_rows& r) {
  r.pointers.resize(size_t(r.height));
  for (int32_t y = 0; y < r.height; ++y) r.pointers[size_t(y)] = r.at(0, y);
}
}  // namespace

Rgb_rows::Rgb_rows(int32_t w, int32_t h, float grey)
    : width(w), height(h), data(size_t(w) * size_t(h) * 3, grey) {
  point(*this);
}

Rgb_rows::Rgb_rows(const Rgb_rows& other)
    : width(other.width), height(other.height), data(other.data) {
  point(*this);
}

Rgb_rows& Rgb_rows::operator=(const Rgb_rows& other) {
  width = other.width;
  height = other.height;
  data = other.data;
  point(*this);
  return *this;
}

void Rgb_rows::set(int32_t x, int32_t y, float r, float g, float b) {
  float* p = at(x, y);
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

double Rgb_rows::luminance(int32_t x, int32_t y) {
  const float* p = at(x, y);
  return 0.2125 * p[0] + 0.7154 * p[1] + 0.0721 * p[2];
}

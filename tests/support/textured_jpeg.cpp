#include "tests/support/textured_jpeg.h"

#include "tests/support/jpeg_fixture.h"

std::vector<uint8_t> textured_samples(uint32_t w, uint32_t h, int components) {
  std::vector<uint8_t> px(size_t(w) * h * size_t(components));
  uint32_t seed = 99;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < components; ++c) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t edge = ((x / 7 + y / 5 + uint32_t(c)) % 3) * 40;
        const uint32_t v =
            (x * 255 / w + y * 97 / h + uint32_t(c) * 60 + edge + (seed >> 28)) % 256;
        px[(size_t(y) * w + x) * size_t(components) + size_t(c)] = uint8_t(v);
      }
  return px;
}

void write_textured_jpeg(const std::string& path, uint32_t w, uint32_t h, int components,
                         bool progressive) {
  const std::vector<uint8_t> px = textured_samples(w, h, components);
  write_jpeg(path, w, h, components, px.data(), 85, {}, progressive);
}

uint64_t fnv1a(const void* bytes, size_t size) {
  uint64_t h = 1469598103934665603ull;
  const auto* p = static_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

std::string cut_in_scan(const std::string& jpeg) {
  const size_t sos = jpeg.rfind("\xff\xda");
  if (sos == std::string::npos) return jpeg;
  return jpeg.substr(0, sos + (jpeg.size() - sos) / 2);
}

// Planar <-> interleaved conversions and row pointers.
#include "core/pixel_buffers.h"

#include <stdexcept>

namespace {

template <typename T>
void require_rgb(const cimg_library::CImg<T>& image, const char* what) {
  if (image.spectrum() < 3)
    throw std::invalid_argument(std::string(what) + ": the image needs three channels");
}

}  // namespace

void planar_rgb8_to_interleaved(uint8_t* out, const Rgb8_image& image) {
  require_rgb(image, "planar_rgb8_to_interleaved");
  const uint64_t n = uint64_t(image.width()) * image.height() * image.depth();
  const uint8_t *r = image.data(), *g = r + n, *b = g + n;
  for (uint64_t i = 0; i < n; ++i, out += 3) {
    out[0] = r[i];
    out[1] = g[i];
    out[2] = b[i];
  }
}

void planes_to_rgb8_row(const Hdr_image& image, uint64_t r, uint8_t* row) {
  const uint64_t width = uint64_t(image.width());
  const uint64_t plane = image.plane_size();
  const float* red = image.data() + r * width;
  const float* green = red + plane;
  const float* blue = green + plane;
  // !(v > 0) also catches NaN, whose conversion to an integer is undefined.
  auto byte = [](float v) { return v > 0.f ? uint8_t(v < 255.f ? v : 255.f) : uint8_t(0); };
  for (uint64_t x = 0; x < width; ++x, row += 3) {
    row[0] = byte(red[x]);
    row[1] = byte(green[x]);
    row[2] = byte(blue[x]);
  }
}

void interleaved_rgb8_to_planar(Rgb8_image& image, const uint8_t* in) {
  require_rgb(image, "interleaved_rgb8_to_planar");
  const uint64_t n = uint64_t(image.width()) * image.height() * image.depth();
  uint8_t *r = image.data(), *g = r + n, *b = g + n;
  for (uint64_t i = 0; i < n; ++i, in += 3) {
    r[i] = in[0];
    g[i] = in[1];
    b[i] = in[2];
  }
}

Image_rows::Image_rows(uint64_t width, uint64_t height)
    : m_width(width), m_height(height), m_values(new float[width * height * 3]()), m_rows(height) {
  for (uint64_t y = 0; y < height; ++y) m_rows[y] = m_values.get() + y * width * 3;
}

Image_rows image_to_rows(const Hdr_image& image) {
  require_rgb(image, "image_to_rows");
  const uint64_t w = image.width(), h = image.height();
  Image_rows rows(w, h);
  const float *r, *g, *b;
  rgb_planes(image, r, g, b);
  for (uint64_t y = 0; y < h; ++y) {
    float* p = rows.row(y);
    const uint64_t o = y * w;
    for (uint64_t x = 0; x < w; ++x, p += 3) {
      p[0] = r[o + x];
      p[1] = g[o + x];
      p[2] = b[o + x];
    }
  }
  return rows;
}

void rows_to_image(const float* const* rows, Hdr_image& image, uint64_t width, uint64_t height) {
  if (uint64_t(image.width()) != width || uint64_t(image.height()) != height ||
      image.depth() != 1 || image.spectrum() < 3)
    image.assign(uint32_t(width), uint32_t(height), 1, 3);
  float *r, *g, *b;
  rgb_planes(image, r, g, b);
  for (uint64_t y = 0; y < height; ++y) {
    const float* p = rows[y];
    const uint64_t o = y * width;
    for (uint64_t x = 0; x < width; ++x, p += 3) {
      r[o + x] = p[0];
      g[o + x] = p[1];
      b[o + x] = p[2];
    }
  }
}

void rows_to_image(const Image_rows& rows, Hdr_image& image) {
  rows_to_image(rows.rows(), image, rows.width(), rows.height());
}

std::unique_ptr<float[]> image_to_interleaved(const Hdr_image& image) {
  const uint64_t n = image.plane_size(), channels = image.spectrum();
  std::unique_ptr<float[]> out(new float[n * channels]);
  const float* in = image.data();
  for (uint64_t c = 0; c < channels; ++c)
    for (uint64_t i = 0; i < n; ++i) out[i * channels + c] = in[c * n + i];
  return out;
}

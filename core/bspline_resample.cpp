// Separable B-spline resize and cubic rotation.
#include "core/bspline_resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/bspline.h"

namespace {

// The four neighbours and weights of one output sample along one axis, as the clamped
// sampler picks them.
struct Taps {
  uint32_t index[4];
  float weight[4];
};

std::vector<Taps> axis_taps(uint32_t in, uint32_t out) {
  std::vector<Taps> taps(out);
  const uint32_t last = in - 1;
  for (uint32_t i = 0; i < out; ++i) {
    const float p = float(bspline_source_position(i, in, out));
    const uint32_t ip = uint32_t(p);
    const float d = p - float(ip);
    Taps& t = taps[i];
    t.index[0] = ip < 1 ? ip : ip - 1;
    t.index[1] = ip;
    t.index[2] = std::min(ip + 1, last);
    t.index[3] = std::min(t.index[2] + 1, last);
    t.weight[0] = cubic_bspline_weight(-1.f - d);
    t.weight[1] = cubic_bspline_weight(d);
    t.weight[2] = cubic_bspline_weight(1.f - d);
    t.weight[3] = cubic_bspline_weight(2.f - d);
  }
  return taps;
}

inline float to_output(float v, float) { return v; }
inline unsigned char to_output(float v, unsigned char) {
  const float r = v + 0.5f;
  return r <= 0.f ? 0 : (r >= 255.f ? 255 : static_cast<unsigned char>(r));
}

// out[x] = sum of w[k] * rows[k][x]. Blocks of fixed length and unaliased pointers let
// the compiler vectorise.
template <typename T>
void combine_rows(const T* const rows[4], const float w[4], uint32_t n, float* __restrict out) {
  const T* __restrict r0 = rows[0];
  const T* __restrict r1 = rows[1];
  const T* __restrict r2 = rows[2];
  const T* __restrict r3 = rows[3];
  const float w0 = w[0], w1 = w[1], w2 = w[2], w3 = w[3];
  constexpr uint64_t k_block = 16;
  uint64_t x = 0;
  for (; x + k_block <= n; x += k_block) {
    const T *a = r0 + x, *b = r1 + x, *c = r2 + x, *d = r3 + x;
    float* o = out + x;
    for (uint64_t k = 0; k < k_block; ++k)
      o[k] = w0 * float(a[k]) + w1 * float(b[k]) + w2 * float(c[k]) + w3 * float(d[k]);
  }
  for (; x < n; ++x)
    out[x] = w0 * float(r0[x]) + w1 * float(r1[x]) + w2 * float(r2[x]) + w3 * float(r3[x]);
}

template <typename T>
cimg_library::CImg<T> resized(const cimg_library::CImg<T>& image, uint32_t width, uint32_t height) {
  if (image.is_empty()) return cimg_library::CImg<T>();
  width = std::max(width, 1u);
  height = std::max(height, 1u);
  const uint32_t w = image.width(), h = image.height();
  if (width == w && height == h) return image;  // as the library: nothing to resample

  const bool along_x = width != w, along_y = height != h;
  const std::vector<Taps> tx = along_x ? axis_taps(w, width) : std::vector<Taps>();
  const std::vector<Taps> ty = along_y ? axis_taps(h, height) : std::vector<Taps>();
  cimg_library::CImg<T> out(width, height, image.depth(), image.spectrum());
  std::vector<float> line(w);

  for (int c = 0; c < image.spectrum(); ++c)
    for (int z = 0; z < image.depth(); ++z)
      for (uint32_t y = 0; y < height; ++y) {
        // Vertical pass into one line of input width, then the horizontal pass.
        if (along_y) {
          const Taps& t = ty[y];
          const T* rows[4];
          for (int k = 0; k < 4; ++k) rows[k] = image.data(0, t.index[k], z, c);
          combine_rows(rows, t.weight, w, line.data());
        } else {
          const T* row = image.data(0, y, z, c);
          for (uint32_t x = 0; x < w; ++x) line[x] = float(row[x]);
        }
        T* o = out.data(0, y, z, c);
        if (along_x) {
          for (uint32_t x = 0; x < width; ++x) {
            const Taps& t = tx[x];
            o[x] = to_output(t.weight[0] * line[t.index[0]] + t.weight[1] * line[t.index[1]] +
                                 t.weight[2] * line[t.index[2]] + t.weight[3] * line[t.index[3]],
                             T());
          }
        } else {
          for (uint32_t x = 0; x < w; ++x) o[x] = to_output(line[x], T());
        }
      }
  return out;
}

template <typename T>
void resize_by_code(cimg_library::CImg<T>& image, uint32_t width, uint32_t height,
                    int interpolation) {
  width = std::max(width, 1u);
  height = std::max(height, 1u);
  if (interpolation == k_interpolation_bspline)
    resized(image, width, height).move_to(image);
  else
    image.resize(int(width), int(height), -100, -100, interpolation);
}

template <typename T>
cimg_library::CImg<T> rotated(const cimg_library::CImg<T>& image, float angle) {
  if (image.is_empty()) return cimg_library::CImg<T>();
  float a = std::fmod(angle, 360.f);
  if (a < 0) a += 360.f;
  if (!std::isfinite(a)) a = 0.f;
  const int w = image.width(), h = image.height(), d = image.depth(), s = image.spectrum();
  const int wm1 = w - 1, hm1 = h - 1;
  if (std::fmod(a, 90.f) == 0.f) {
    switch (int(a) / 90) {
      case 1: {
        cimg_library::CImg<T> out(h, w, d, s);
        cimg_forXYZC(out, x, y, z, c) out(x, y, z, c) = image(y, hm1 - x, z, c);
        return out;
      }
      case 2: {
        cimg_library::CImg<T> out(w, h, d, s);
        cimg_forXYZC(out, x, y, z, c) out(x, y, z, c) = image(wm1 - x, hm1 - y, z, c);
        return out;
      }
      case 3: {
        cimg_library::CImg<T> out(h, w, d, s);
        cimg_forXYZC(out, x, y, z, c) out(x, y, z, c) = image(wm1 - y, x, z, c);
        return out;
      }
      default:
        return image;
    }
  }
  // The library's generic rotation: about the centre, into the bounding box of the turn.
  const float rad = float(a * cimg_library::cimg::PI / 180.), ca = std::cos(rad),
              sa = std::sin(rad);
  const float ux = std::fabs(wm1 * ca), uy = std::fabs(wm1 * sa), vx = std::fabs(hm1 * sa),
              vy = std::fabs(hm1 * ca), w2 = 0.5f * wm1, h2 = 0.5f * hm1;
  cimg_library::CImg<T> out(int(std::round(1 + ux + vx)), int(std::round(1 + uy + vy)), d, s);
  const float rw2 = 0.5f * (out.width() - 1), rh2 = 0.5f * (out.height() - 1);
  cimg_forXYZC(out, x, y, z, c) {
    const float xc = x - rw2, yc = y - rh2;
    out(x, y, z, c) =
        to_output(cubic_bspline_at_or(image, w2 + xc * ca + yc * sa, h2 - xc * sa + yc * ca,
                                      uint32_t(z), uint32_t(c), T(0)),
                  T());
  }
  return out;
}

}  // namespace

double bspline_source_position(uint32_t i, uint32_t in, uint32_t out) {
  if (in == 0 || out == 0) return 0.0;
  const double f =
      out > in ? (out > 1 ? double(in - 1) / double(out - 1) : 0.0) : double(in) / double(out);
  return std::min(double(i) * f, double(in) - 1.0);
}

cimg_library::CImg<float> resized_bspline(const cimg_library::CImg<float>& image, uint32_t width,
                                          uint32_t height) {
  return resized(image, width, height);
}

Rgb8_image resized_bspline(const Rgb8_image& image, uint32_t width, uint32_t height) {
  return resized(image, width, height);
}

void resize_bspline(cimg_library::CImg<float>& image, uint32_t width, uint32_t height) {
  resized(image, width, height).move_to(image);
}

void resize_bspline(Rgb8_image& image, uint32_t width, uint32_t height) {
  resized(image, width, height).move_to(image);
}

void resize_image(cimg_library::CImg<float>& image, uint32_t width, uint32_t height,
                  int interpolation) {
  resize_by_code(image, width, height, interpolation);
}

void resize_image(Rgb8_image& image, uint32_t width, uint32_t height, int interpolation) {
  resize_by_code(image, width, height, interpolation);
}

cimg_library::CImg<float> rotated_bspline(const cimg_library::CImg<float>& image, float angle) {
  return rotated(image, angle);
}

Rgb8_image rotated_bspline(const Rgb8_image& image, float angle) { return rotated(image, angle); }

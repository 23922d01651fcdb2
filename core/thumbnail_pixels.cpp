// Thumbnail fitting and the planar thumbnail's rescale, flip and rotation, on CImg.
#include "core/thumbnail_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "core/display_convert.h"
#include "core/geometry.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/pixel_buffers.h"

namespace {

// CImg interpolation codes of resize().
constexpr int k_nearest = 1;
constexpr int k_linear = 3;

// trunc(side * scale) in float, as the fitting is specified: 3000 * (128 / 3000.f) is 128.
uint32_t scaled_side(uint32_t side, float scale) {
  const float v = std::trunc(float(side) * scale);
  return v < 1.f ? 1u : uint32_t(v);
}

// One step of CImg's moving average along one axis: source index s adds d times its value
// to target t.
struct Average_step {
  uint32_t s, t;
  float d;
};

// The steps of CImg's moving average from n samples to m < n, in its order.
std::vector<Average_step> average_steps(uint32_t n, uint32_t m) {
  std::vector<Average_step> steps;
  steps.reserve(size_t(n) + m);
  for (uint64_t a = uint64_t(n) * m, b = n, c = m, s = 0, t = 0; a;) {
    const uint64_t d = std::min(b, c);
    a -= d;
    b -= d;
    c -= d;
    steps.push_back({uint32_t(s), uint32_t(t), float(d)});
    if (!b) {
      ++t;
      b = n;
    }
    if (!c) {
      ++s;
      c = m;
    }
  }
  return steps;
}

// CImg's linear resize shrinks by moving average (its interpolation 2), x then y, adding
// in float in a fixed order. This does the same additions in the same order, so the result
// is bit for bit CImg's, with the per-step index arithmetic and branches taken out of the
// loop over the whole photograph: a third of the thumbnail's cost beside the decode.
void shrink_by_average(Hdr_image& image, uint32_t w, uint32_t h) {
  const uint32_t W = uint32_t(image.width()), H = uint32_t(image.height());
  const std::vector<Average_step> xs = average_steps(W, w), ys = average_steps(H, h);
  const float fw = float(W), fh = float(H);
  Hdr_image out(w, h, 1, uint32_t(image.spectrum()), 0.f);
  // The steps of each target are consecutive: first[t] to first[t + 1].
  std::vector<size_t> first(size_t(w) + 1, xs.size());
  for (size_t k = xs.size(); k-- > 0;) first[xs[k].t] = k;
  std::vector<float> rows(size_t(w) * H);
  for (int c = 0; c < image.spectrum(); ++c) {
    for (uint32_t y = 0; y < H; ++y) {
      const float* src = image.data(0, int(y), 0, c);
      float* dst = rows.data() + size_t(y) * w;
      // Summed in a register from 0 in the walk's order, then divided: the same float
      // operations as adding into a zeroed target.
      for (uint32_t t = 0; t < w; ++t) {
        float sum = 0.f;
        for (size_t k = first[t]; k < first[t + 1]; ++k) sum += src[xs[k].s] * xs[k].d;
        dst[t] = sum / fw;
      }
    }
    float* plane = out.data(0, 0, 0, c);
    for (const Average_step& st : ys) {
      float* dst = plane + size_t(st.t) * w;
      const float* src = rows.data() + size_t(st.s) * w;
      for (uint32_t x = 0; x < w; ++x) dst[x] += src[x] * st.d;
    }
    for (uint64_t i = 0; i < uint64_t(w) * h; ++i) plane[i] /= fh;
  }
  out.type = image.type;
  image.swap(out);
}

}  // namespace

void resize_linear(Hdr_image& image, uint32_t w, uint32_t h) {
  if (w < uint32_t(image.width()) && h < uint32_t(image.height()) && image.depth() == 1)
    shrink_by_average(image, w, h);
  else
    image.resize(int(w), int(h), -100, -100, k_linear);
}

namespace {

Thumbnail_planes from_cimg(const Rgb8_image& image) {
  Thumbnail_planes out;
  if (image.is_empty()) return out;
  out.width = uint32_t(image.width());
  out.height = uint32_t(image.height());
  const size_t n = size_t(out.width) * out.height;
  out.data.resize(n * 3);
  std::memcpy(out.data.data(), image.data(), n * 3);
  return out;
}

// A CImg view of the planes (no copy).
Rgb8_image as_cimg(const Thumbnail_planes& planes) {
  return Rgb8_image(const_cast<uint8_t*>(planes.data.data()), planes.width, planes.height, 1, 3,
                    true);
}

bool usable(const Thumbnail_planes& planes) {
  return !planes.empty() && planes.data.size() == size_t(planes.width) * planes.height * 3;
}

}  // namespace

void fitted_thumbnail_size(uint32_t w, uint32_t h, uint32_t& out_w, uint32_t& out_h) {
  if (w == 0 || h == 0) {
    out_w = out_h = 0;
    return;
  }
  const float s = fit_scale(k_thumbnail_box, k_thumbnail_box, w, h);
  out_w = scaled_side(w, s);
  out_h = scaled_side(h, s);
}

Thumbnail_planes thumbnail_from_image(Hdr_image& image, uint32_t type) {
  if (image.is_empty()) return {};
  if (image.spectrum() < 3) throw std::invalid_argument("thumbnail needs 3 planes");
  uint32_t w = 0, h = 0;
  fitted_thumbnail_size(uint32_t(image.width()), uint32_t(image.height()), w, h);
  resize_linear(image, w, h);
  if (is_hdr_type(type)) image *= display_scale(image);
  Thumbnail_planes out;
  out.width = w;
  out.height = h;
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  to_display_rgb8_interleaved(rgb.data(), image, type);
  out.data.resize(rgb.size());
  Rgb8_image planes(out.data.data(), w, h, 1, 3, true);
  interleaved_rgb8_to_planar(planes, rgb.data());
  return out;
}

Thumbnail_planes planes_from_rgb(const uint8_t* rgb, uint32_t w, uint32_t h) {
  Thumbnail_planes out;
  if (!rgb || w == 0 || h == 0) return out;
  out.width = w;
  out.height = h;
  out.data.resize(size_t(w) * h * 3);
  Rgb8_image planes(out.data.data(), w, h, 1, 3, true);
  interleaved_rgb8_to_planar(planes, rgb);
  return out;
}

Thumbnail_planes thumbnail_from_rgb(const uint8_t* rgb, uint32_t w, uint32_t h) {
  Thumbnail_planes planes = planes_from_rgb(rgb, w, h);
  if (planes.empty()) return planes;
  uint32_t fw = 0, fh = 0;
  fitted_thumbnail_size(w, h, fw, fh);
  if (fw == w && fh == h) return planes;
  return from_cimg(as_cimg(planes).get_resize(int(fw), int(fh), -100, -100, k_linear));
}

std::vector<uint8_t> interleaved_rgb(const Thumbnail_planes& planes) {
  if (!usable(planes)) return {};
  std::vector<uint8_t> out(planes.data.size());
  planar_rgb8_to_interleaved(out.data(), as_cimg(planes));
  return out;
}

Thumbnail_planes scaled_thumbnail(const Thumbnail_planes& planes, float scale) {
  if (!usable(planes) || !std::isfinite(scale) || scale <= 0.f) return planes;
  const uint32_t w = scaled_side(planes.width, scale), h = scaled_side(planes.height, scale);
  if (w == planes.width && h == planes.height) return planes;
  return from_cimg(as_cimg(planes).get_resize(int(w), int(h), -100, -100, k_nearest));
}

Thumbnail_planes flipped_thumbnail(const Thumbnail_planes& planes, char axis) {
  if (!usable(planes) || (axis != 'x' && axis != 'y')) return planes;
  return from_cimg(as_cimg(planes).get_mirror(axis));
}

Thumbnail_planes rotated_thumbnail(const Thumbnail_planes& planes, int angle) {
  if (!usable(planes) || (angle != 90 && angle != -90)) return planes;
  // Multiples of 90 degrees are exact transpositions in CImg; 90 turns clockwise.
  return from_cimg(as_cimg(planes).get_rotate(float(angle)));
}

Thumbnail_planes thumbnail_by_full_load(const std::string& path, uint32_t type,
                                        uint32_t& width, uint32_t& height) {
  Hdr_image image;
  load_image(image, path, type);
  width = uint32_t(image.width());
  height = uint32_t(image.height());
  return thumbnail_from_image(image, type);
}

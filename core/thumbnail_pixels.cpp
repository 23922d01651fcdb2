// Thumbnail fitting and the planar thumbnail's rescale, flip and rotation, on CImg.
#include "core/thumbnail_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "core/display_convert.h"
#include "core/geometry.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/image_orient.h"
#include "core/jpeg_read.h"
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

namespace {

// The rest of a thumbnail once the image has its fitted size: HDR types brightened by
// their display scale, then display bytes.
Thumbnail_planes thumbnail_from_fitted(Hdr_image& image, uint32_t type) {
  const uint32_t w = uint32_t(image.width()), h = uint32_t(image.height());
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

// shrink_by_average fed with 8-bit rows as a decoder produces them: each row's x-pass as
// it arrives, added at once into the target rows it feeds. Every target value receives
// the same float operations in the same order as in shrink_by_average, so the result is
// bit for bit the same; only a row of sums and the small target are held.
class Row_shrink {
 public:
  // channels per pixel of the rows: 1 (one plane standing for all three), 3, or more
  // (the first three are taken).
  Row_shrink(uint32_t src_w, uint32_t src_h, uint32_t w, uint32_t h, int channels)
      : m_w(w), m_h(h), m_fw(float(src_w)), m_fh(float(src_h)), m_ys(average_steps(src_h, h)) {
    const std::vector<Average_step> xs = average_steps(src_w, w);
    m_first.assign(size_t(w) + 1, uint32_t(xs.size()));
    for (size_t k = xs.size(); k-- > 0;) m_first[xs[k].t] = uint32_t(k);
    m_offset.reserve(xs.size());
    m_weight.reserve(xs.size());
    for (const Average_step& st : xs) {
      m_offset.push_back(st.s * uint32_t(channels));
      m_weight.push_back(st.d);
    }
    m_planes = channels == 1 ? 1 : 3;
    m_row.resize(size_t(w) * m_planes);
    m_out.assign(size_t(w) * h * m_planes, 0.f);
  }

  void add_row(uint32_t y, const uint8_t* src) {
    if (m_planes == 1)
      x_pass_grey(src);
    else
      x_pass_colour(src);
    const size_t n = size_t(m_w) * m_h;
    for (; m_next_y < m_ys.size() && m_ys[m_next_y].s == y; ++m_next_y) {
      const Average_step& st = m_ys[m_next_y];
      for (int c = 0; c < m_planes; ++c) {
        float* dst = m_out.data() + c * n + size_t(st.t) * m_w;
        const float* row = m_row.data() + size_t(c) * m_w;
        for (uint32_t x = 0; x < m_w; ++x) dst[x] += row[x] * st.d;
      }
    }
  }

  // After the last row: the w x h x 3 result.
  void finish(Hdr_image& out) const {
    out.assign(m_w, m_h, 1, 3);
    const size_t n = size_t(m_w) * m_h;
    for (int c = 0; c < 3; ++c) {
      const float* src = m_out.data() + (m_planes == 1 ? 0 : c * n);
      float* dst = out.data() + c * n;
      for (size_t i = 0; i < n; ++i) dst[i] = src[i] / m_fh;
    }
  }

 private:
  // The three colour sums of a target run side by side: three independent chains of
  // additions, each in its plane's own order.
  void x_pass_colour(const uint8_t* src) {
    float* r = m_row.data();
    float* g = r + m_w;
    float* b = g + m_w;
    for (uint32_t t = 0; t < m_w; ++t) {
      float sr = 0.f, sg = 0.f, sb = 0.f;
      for (uint32_t k = m_first[t]; k < m_first[t + 1]; ++k) {
        const uint8_t* p = src + m_offset[k];
        const float d = m_weight[k];
        sr += float(p[0]) * d;
        sg += float(p[1]) * d;
        sb += float(p[2]) * d;
      }
      r[t] = sr / m_fw;
      g[t] = sg / m_fw;
      b[t] = sb / m_fw;
    }
  }

  void x_pass_grey(const uint8_t* src) {
    for (uint32_t t = 0; t < m_w; ++t) {
      float sum = 0.f;
      for (uint32_t k = m_first[t]; k < m_first[t + 1]; ++k)
        sum += float(src[m_offset[k]]) * m_weight[k];
      m_row[t] = sum / m_fw;
    }
  }

  uint32_t m_w, m_h;
  int m_planes = 3;
  float m_fw, m_fh;
  std::vector<Average_step> m_ys;
  size_t m_next_y = 0;
  std::vector<uint32_t> m_first, m_offset;  // per target: its first step; per step: byte offset
  std::vector<float> m_weight;
  std::vector<float> m_row;  // the current row's x-pass, plane after plane
  std::vector<float> m_out;  // sums of the target, plane after plane
};

// A JPEG's thumbnail from its rows: shrunk while decoding when both sides shrink (the
// common case), else the whole image is gathered for resize_linear.
class Thumbnail_sink : public Jpeg_row_sink {
 public:
  explicit Thumbnail_sink(Jpeg_image_sink& whole) : m_whole(whole) {}

  // The rows are shrunk as stored and the small result turned upright at the end.
  void set_orientation(uint32_t orientation) override { m_orientation = orientation; }

  bool begin(uint32_t width, uint32_t height, int channels) override {
    m_src_w = width;
    m_src_h = height;
    uint32_t w = 0, h = 0;
    fitted_thumbnail_size(width, height, w, h);
    if (w < width && h < height) {
      m_shrink = std::make_unique<Row_shrink>(width, height, w, h, channels);
      return true;
    }
    return m_whole.begin(width, height, channels);
  }

  void rows(uint32_t first, uint32_t count, const uint8_t* const* rows) override {
    if (!m_shrink) {
      m_whole.rows(first, count, rows);
      return;
    }
    for (uint32_t i = 0; i < count; ++i) m_shrink->add_row(first + i, rows[i]);
  }

  // The fitted image, upright: the shrink's result, or the whole image resized. The box
  // is square, so the fitted size of the turned picture is the turned fitted size.
  void fitted(Hdr_image& image) {
    if (m_shrink) {
      m_shrink->finish(image);
    } else {
      m_whole.take(image);
      uint32_t w = 0, h = 0;
      fitted_thumbnail_size(m_src_w, m_src_h, w, h);
      resize_linear(image, w, h);
    }
    orient_image(image, m_orientation);
  }

  // The picture's size as shown.
  uint32_t shown_width() const { return orientation_walk(m_orientation, m_src_w, m_src_h).shown_w; }
  uint32_t shown_height() const {
    return orientation_walk(m_orientation, m_src_w, m_src_h).shown_h;
  }

 private:
  uint32_t m_src_w = 0, m_src_h = 0;
  uint32_t m_orientation = 1;
  Jpeg_image_sink& m_whole;
  std::unique_ptr<Row_shrink> m_shrink;
};

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
  return thumbnail_from_fitted(image, type);
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

Thumbnail_planes oriented_thumbnail(const Thumbnail_planes& planes, uint32_t orientation) {
  if (!usable(planes) || orientation_is_normal(orientation)) return planes;
  const Orientation_walk walk = orientation_walk(orientation, planes.width, planes.height);
  Thumbnail_planes out;
  out.width = walk.shown_w;
  out.height = walk.shown_h;
  out.data.resize(planes.data.size());
  orient_planar(planes.data.data(), out.data.data(), planes.width, planes.height, 3, orientation);
  return out;
}

Thumbnail_planes rotated_thumbnail(const Thumbnail_planes& planes, int angle) {
  if (!usable(planes) || (angle != 90 && angle != -90)) return planes;
  // Multiples of 90 degrees are exact transpositions in CImg; 90 turns clockwise.
  return from_cimg(as_cimg(planes).get_rotate(float(angle)));
}

Thumbnail_planes thumbnail_by_full_load(const std::string& path, uint32_t type, uint32_t& width,
                                        uint32_t& height) {
  if (type == k_type_jpeg) {
    Jpeg_image_sink whole;
    Thumbnail_sink sink(whole);
    const Jpeg_decode_result result = decode_jpeg_rows(path, sink);
    throw_jpeg_failure(result, path);
    width = sink.shown_width();
    height = sink.shown_height();
    // libjpeg's fill of what it could not decode is never shown or cached.
    if (result == Jpeg_decode_result::damaged) return {};
    Hdr_image image;
    sink.fitted(image);
    return thumbnail_from_fitted(image, type);
  }
  Hdr_image image;
  load_image(image, path, type);
  width = uint32_t(image.width());
  height = uint32_t(image.height());
  return thumbnail_from_image(image, type);
}

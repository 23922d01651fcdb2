// The converter's pairs: matrix pairs over RGB, XYZ, Yxy and LMS; L*a*b*, LCh and HSV.
#include "core/color_space.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "core/hdr_image.h"
#include "core/pseudo_color.h"

namespace {

using Matrix = float[3][3];

// sRGB primaries, D65 white.
constexpr Matrix k_rgb_to_xyz = {
    {0.4124f, 0.3576f, 0.1805f}, {0.2126f, 0.7152f, 0.0722f}, {0.0193f, 0.1192f, 0.9505f}};
constexpr Matrix k_rgb_to_lms = {
    {0.3057f, 0.6227f, 0.0453f}, {0.1577f, 0.7697f, 0.0881f}, {0.0193f, 0.1192f, 0.9505f}};
constexpr Matrix k_xyz_to_rgb = {
    {3.2405f, -1.5372f, -0.4985f}, {-0.9693f, 1.876f, 0.0416f}, {0.0556f, -0.204f, 1.0573f}};

constexpr float k_display_gamma = 2.2f;
constexpr float k_inverse_gamma = 0.45f;

struct Planes {
  float* p[3];
};

Planes planes_of(Hdr_image& image) {
  Planes out;
  rgb_planes(image, out.p[0], out.p[1], out.p[2]);
  return out;
}

// The three source planes copied, scaled and (for display RGB) linearised.
std::unique_ptr<float[]> prepared_copy(const Color_space_params& params, const Hdr_image& source,
                                       uint64_t n, Planes& copy) {
  std::unique_ptr<float[]> buffer(new float[3 * n]);
  const float* in = source.data();
  std::copy(in, in + 3 * n, buffer.get());
  for (int k = 0; k < 3; ++k) copy.p[k] = buffer.get() + k * n;
  if (params.scale != 1.f) divide_by_scale(copy.p[0], copy.p[1], copy.p[2], n, params.scale);
  if (params.from == k_space_rgb_gamma)
    pow_planes(copy.p[0], copy.p[1], copy.p[2], n, k_display_gamma);
  return buffer;
}

void matrix_into(const Matrix& m, const Planes& in, const Planes& out, uint64_t n) {
  for (uint64_t i = 0; i < n; ++i) {
    const float a = in.p[0][i], b = in.p[1][i], c = in.p[2][i];
    for (int k = 0; k < 3; ++k) out.p[k][i] = m[k][0] * a + m[k][1] * b + m[k][2] * c;
  }
}

void matrix_pair(const Color_space_params& params, const Hdr_image& source, Hdr_image& dest) {
  const uint64_t n = source.plane_size();
  Planes copy;
  const std::unique_ptr<float[]> buffer = prepared_copy(params, source, n, copy);
  const Planes out = planes_of(dest);
  switch (params.to) {
    case k_space_xyz:
      matrix_into(k_rgb_to_xyz, copy, out, n);
      break;
    case k_space_lms:
      matrix_into(k_rgb_to_lms, copy, out, n);
      break;
    case k_space_yxy:
      matrix_into(k_rgb_to_xyz, copy, out, n);
      for (uint64_t i = 0; i < n; ++i) {
        const float X = out.p[0][i], Y = out.p[1][i], Z = out.p[2][i];
        // The small term keeps black at (0, 0, 0) instead of 0 / 0.
        const double d = double(X + Y + Z) + 0.000001;
        out.p[0][i] = Y;
        out.p[1][i] = float(X / d);
        out.p[2][i] = float(Y / d);
      }
      break;
    case k_space_rgb_gamma:  // from XYZ
      matrix_into(k_xyz_to_rgb, copy, out, n);
      pow_planes(out.p[0], out.p[1], out.p[2], n, k_inverse_gamma);
      break;
    default:
      break;
  }
  if (params.gain != 1.f) apply_gain(out.p[0], out.p[1], out.p[2], n, params.gain);
}

// CIE L*a*b* to XYZ relative to the white point, in single precision.
void lab_to_xyz(const Color_space_params& params, const Hdr_image& source, Hdr_image& dest) {
  const uint64_t n = source.plane_size();
  const float* in = source.data();
  const Planes out = planes_of(dest);
  constexpr float k_epsilon = 0.008856f, k_kappa = 903.3f, k_l_limit = 7.999625f;
  for (uint64_t i = 0; i < n; ++i) {
    const float L = in[i], a = in[n + i], b = in[2 * n + i];
    const float fy = (L + 16.f) / 116.f;
    const float fx = a / 500.f + fy;
    const float fz = fy - b / 200.f;
    const float fx3 = fx * fx * fx, fz3 = fz * fz * fz;
    const float X = fx3 > k_epsilon ? fx3 : (116.f * fx - 16.f) / k_kappa;
    const float Z = fz3 > k_epsilon ? fz3 : (116.f * fz - 16.f) / k_kappa;
    const float Y = L > k_l_limit ? fy * fy * fy : L / k_kappa;
    out.p[0][i] = X * params.white_x;
    out.p[1][i] = Y * params.white_y;
    out.p[2][i] = Z * params.white_z;
  }
}

void lch_to_lab(const Hdr_image& source, Hdr_image& dest) {
  const uint64_t n = source.plane_size();
  const float* in = source.data();
  const Planes out = planes_of(dest);
  constexpr float k_pi = 3.14159265358979f;
  for (uint64_t i = 0; i < n; ++i) {
    const float L = in[i], C = in[n + i], h = in[2 * n + i];
    const float angle = (h / 180.f) * k_pi;
    out.p[0][i] = L;
    out.p[1][i] = C * cosf(angle);
    out.p[2][i] = C * sinf(angle);
  }
}

// Hues outside [0, 360) are wrapped into it and a hue that is not finite counts as 0,
// so every pixel falls into one of the six sectors.
void hsv_to_rgb(const Hdr_image& source, Hdr_image& dest) {
  const uint64_t n = source.plane_size();
  const float* in = source.data();
  const Planes out = planes_of(dest);
  for (uint64_t i = 0; i < n; ++i) {
    float H = in[i];
    const float S = in[n + i], V = in[2 * n + i];
    if (!std::isfinite(H)) H = 0.f;
    if (H < 0.f || H >= 360.f) {
      H = std::fmod(H, 360.f);
      if (H < 0.f) H += 360.f;
      if (H >= 360.f) H = 0.f;
    }
    int sector = int(H / 60.f);
    if (sector > 5) sector = 5;
    const float f = H / 60.f - float(sector);
    const float p = (1.f - S) * V, q = (1.f - S * f) * V, t = (1.f - (1.f - f) * S) * V;
    float r, g, b;
    switch (sector) {
      case 0:
        r = V, g = t, b = p;
        break;
      case 1:
        r = q, g = V, b = p;
        break;
      case 2:
        r = p, g = V, b = t;
        break;
      case 3:
        r = p, g = q, b = V;
        break;
      case 4:
        r = t, g = p, b = V;
        break;
      default:
        r = V, g = p, b = q;
        break;
    }
    out.p[0][i] = r * 255.f;
    out.p[1][i] = g * 255.f;
    out.p[2][i] = b * 255.f;
  }
  clamp_planes(out.p[0], out.p[1], out.p[2], n, 0.f, 255.f);
}

bool supported(uint32_t from, uint32_t to) {
  switch (from) {
    case k_space_rgb_gamma:
      return to == k_space_xyz || to == k_space_yxy || to == k_space_lms || to == k_space_pseudo;
    case k_space_rgb_linear:
      return to == k_space_xyz || to == k_space_yxy || to == k_space_lms;
    case k_space_xyz:
      return to == k_space_rgb_gamma;
    case k_space_lab:
      return to == k_space_xyz;
    case k_space_lch:
      return to == k_space_lab;
    case k_space_hsv:
      return to == k_space_rgb_gamma;
    default:
      return false;
  }
}

}  // namespace

void transform_color_space(const Color_space_params& params, const Hdr_image& source,
                           Hdr_image& destination) {
  if (!supported(params.from, params.to)) return;
  if (source.spectrum() < 3 || destination.spectrum() < 3 ||
      source.width() != destination.width() || source.height() != destination.height() ||
      source.depth() != destination.depth())
    throw std::invalid_argument(
        "transform_color_space: source and destination need the same size and three planes");
  switch (params.from) {
    case k_space_lab:
      lab_to_xyz(params, source, destination);
      return;
    case k_space_lch:
      lch_to_lab(source, destination);
      return;
    case k_space_hsv:
      hsv_to_rgb(source, destination);
      return;
    default:
      break;
  }
  if (params.to == k_space_pseudo)
    pseudo_color_from_rgb(source, destination);
  else
    matrix_pair(params, source, destination);
}

void divide_by_scale(float* p0, float* p1, float* p2, uint64_t n, float scale) {
  for (float* p : {p0, p1, p2})
    for (uint64_t i = 0; i < n; ++i) p[i] /= scale;
}

void apply_gain(float* p0, float* p1, float* p2, uint64_t n, float gain) {
  for (float* p : {p0, p1, p2})
    for (uint64_t i = 0; i < n; ++i) p[i] *= gain;
}

void pow_planes(float* p0, float* p1, float* p2, uint64_t n, float exponent) {
  for (float* p : {p0, p1, p2})
    for (uint64_t i = 0; i < n; ++i) p[i] = powf(p[i], exponent);
}

void clamp_planes(float* p0, float* p1, float* p2, uint64_t n, float lo, float hi) {
  for (float* p : {p0, p1, p2})
    for (uint64_t i = 0; i < n; ++i) {
      if (p[i] < lo)
        p[i] = lo;
      else if (p[i] > hi)
        p[i] = hi;
    }
}

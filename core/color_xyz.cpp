// RGB <-> XYZ with the codec's double matrices (sRGB primaries, D65 white).
#include "core/color_xyz.h"

#include <stdexcept>

#include "core/hdr_image.h"

namespace {

constexpr double k_rgb_to_xyz[3][3] = {{0.412424, 0.357579, 0.180464},
                                       {0.212656, 0.715158, 0.0721856},
                                       {0.0193324, 0.119193, 0.950444}};
constexpr double k_xyz_to_rgb[3][3] = {{3.24071, -1.53726, -0.498571},
                                       {-0.969258, 1.87599, 0.0415557},
                                       {0.0556352, -0.203996, 1.05707}};

// NaN fails the comparison and so passes unchanged.
inline float at_least_zero(double v) { return v < 0 ? 0.f : float(v); }

void transform(Hdr_image& image, const double (&m)[3][3]) {
  if (image.spectrum() < 3)
    throw std::invalid_argument("colour conversion: the image needs three channels");
  float *p0, *p1, *p2;
  rgb_planes(image, p0, p1, p2);
  const uint64_t n = image.plane_size();
  for (uint64_t i = 0; i < n; ++i) {
    const double a = p0[i], b = p1[i], c = p2[i];
    p0[i] = at_least_zero(m[0][0] * a + m[0][1] * b + m[0][2] * c);
    p1[i] = at_least_zero(m[1][0] * a + m[1][1] * b + m[1][2] * c);
    p2[i] = at_least_zero(m[2][0] * a + m[2][1] * b + m[2][2] * c);
  }
}

}  // namespace

void rgb_to_xyz(Hdr_image& image) { transform(image, k_rgb_to_xyz); }

void xyz_to_rgb(Hdr_image& image) { transform(image, k_xyz_to_rgb); }

// Exposure fusion: the weights, pyramids and blend, with the element-wise steps fused into
// row loops that OpenCV's thread pool splits, and pyramid levels built in place.
#include "hdr/exposure_fusion.h"

#include <cmath>
#include <opencv2/imgproc.hpp>
#include <stdexcept>

#include "hdr/progress.h"

namespace {

// 2 x 0.2^2: the well-exposedness curve is a Gaussian of sigma 0.2 around mid-grey.
constexpr float k_exposedness_divisor = 0.08f;
// Keeps every combined weight positive, so that a pixel weighted 0 in every exposure
// still divides to an equal share instead of 0 / 0.
constexpr float k_weight_floor = 1e-12f;

void check_exposure(const cv::Mat& m) {
  if (m.empty() || m.dims != 2 || m.type() != CV_8UC3)
    throw std::invalid_argument("exposure fusion needs 8-bit three-channel exposures");
}

void check_exponents(const Fusion_exponents& e) {
  for (const float v : {e.contrast, e.saturation, e.well_exposedness})
    if (!std::isfinite(v) || v < 0.f)
      throw std::invalid_argument("fusion exponents must be finite and not negative");
}

// Entry i = e^(-(i/255 - 0.5)^2 / 0.08), in single precision.
const cv::Mat& exposedness_table() {
  static const cv::Mat table = [] {
    cv::Mat t(1, 256, CV_32F);
    for (int i = 0; i < 256; ++i) {
      const float d = float(i) / 255.f - 0.5f;
      t.at<float>(0, i) = std::exp(-(d * d) / k_exposedness_divisor);
    }
    return t;
  }();
  return table;
}

// |Laplacian of the grey level| ^ exponent; unit is the exposure scaled to 0..1.
cv::Mat contrast_weight(const cv::Mat& unit, float exponent) {
  cv::Mat grey, c;
  cv::cvtColor(unit, grey, cv::COLOR_BGR2GRAY);
  cv::Laplacian(grey, c, CV_32F, 1, 1, 0, cv::BORDER_DEFAULT);
  c = cv::abs(c);
  cv::pow(c, exponent, c);
  return c;
}

// The standard deviation of the three channels ^ exponent.
cv::Mat saturation_weight(const cv::Mat& unit, float exponent) {
  std::vector<cv::Mat> ch;
  cv::split(unit, ch);
  cv::Mat mean, d, sq, s;
  cv::add(ch[0], ch[1], mean);
  cv::add(mean, ch[2], mean);
  cv::divide(mean, cv::Scalar(3.0), mean);
  cv::subtract(ch[0], mean, d);
  cv::multiply(d, d, s);
  cv::subtract(ch[1], mean, d);
  cv::multiply(d, d, sq);
  cv::add(s, sq, s);
  cv::subtract(ch[2], mean, d);
  cv::multiply(d, d, sq);
  cv::add(s, sq, s);
  cv::divide(s, cv::Scalar(3.0), s);
  cv::sqrt(s, s);
  cv::pow(s, exponent, s);
  return s;
}

// The product of the three channels' table entries ^ exponent.
cv::Mat exposedness_weight(const cv::Mat& exposure, float exponent) {
  std::vector<cv::Mat> ch;
  cv::split(exposure, ch);
  cv::Mat e0, e1, e2, e;
  cv::LUT(ch[0], exposedness_table(), e0);
  cv::LUT(ch[1], exposedness_table(), e1);
  cv::LUT(ch[2], exposedness_table(), e2);
  cv::multiply(e0, e1, e);
  cv::multiply(e, e2, e);
  cv::pow(e, exponent, e);
  return e;
}

}  // namespace

int fusion_levels(int rows, int cols) {
  const int side = rows < cols ? rows : cols;
  int levels = 0;
  for (int s = side; s > 1; s /= 2) ++levels;
  return levels;
}

void fusion_weights(const std::vector<cv::Mat>& exposures, const Fusion_exponents& exponents,
                    std::vector<cv::Mat>& contrast, std::vector<cv::Mat>& saturation,
                    std::vector<cv::Mat>& well_exposedness) {
  check_exponents(exponents);
  for (const cv::Mat& m : exposures) check_exposure(m);
  contrast.clear();
  saturation.clear();
  well_exposedness.clear();
  for (const cv::Mat& exposure : exposures) {
    cv::Mat unit;
    exposure.convertTo(unit, CV_32FC3, double(1.f / 255.f), 0);
    contrast.push_back(contrast_weight(unit, exponents.contrast));
    saturation.push_back(saturation_weight(unit, exponents.saturation));
    well_exposedness.push_back(exposedness_weight(exposure, exponents.well_exposedness));
  }
}

std::vector<cv::Mat> gaussian_pyramid(const cv::Mat& m, int levels) {
  std::vector<cv::Mat> pyramid{m.clone()};
  for (int i = 1; i < levels; ++i) {
    cv::Mat down;
    cv::pyrDown(pyramid.back(), down, cv::Size(), cv::BORDER_DEFAULT);
    pyramid.push_back(down);
  }
  return pyramid;
}

std::vector<cv::Mat> laplacian_pyramid(const std::vector<cv::Mat>& gaussian) {
  std::vector<cv::Mat> pyramid(gaussian.size());
  if (gaussian.empty()) return pyramid;
  const size_t n = gaussian.size();
  pyramid[n - 1] = gaussian[n - 1];
  for (size_t i = n - 1; i-- > 0;) {
    cv::Mat up;
    cv::pyrUp(gaussian[i + 1], up, gaussian[i].size(), cv::BORDER_DEFAULT);
    cv::subtract(gaussian[i], up, pyramid[i]);
  }
  return pyramid;
}

cv::Mat collapse_pyramid(std::vector<cv::Mat>& laplacian) {
  if (laplacian.empty()) return cv::Mat();
  for (size_t i = laplacian.size() - 1; i > 0; --i) {
    cv::Mat up;
    cv::pyrUp(laplacian[i], up, laplacian[i - 1].size(), cv::BORDER_DEFAULT);
    cv::add(laplacian[i - 1], up, laplacian[i - 1]);
  }
  return laplacian[0];
}

namespace {

// An exponent of 1 leaves a measure as it is and 0 makes it 1 (as cv::pow does for those
// integer powers), so the fused loops apply those two themselves; any other exponent goes
// through cv::pow over the whole matrix, exactly as the separate weights do.
bool needs_pow(float exponent) { return exponent != 1.f && exponent != 0.f; }

// Splits rows over OpenCV's threads; each row is independent, so the thread count never
// changes a value.
template <class Body>
void for_rows(int rows, Body body) {
  cv::parallel_for_(cv::Range(0, rows), [&](const cv::Range& r) {
    for (int y = r.start; y < r.end; ++y) body(y);
  });
}

// A matrix header of the given size over the front of buffer (reused between pyramid
// levels, so no level allocates fresh pages).
cv::Mat view_of(cv::Mat& buffer, cv::Size size) {
  return cv::Mat(size, buffer.type(), buffer.data);
}

// The combined weight W = C x S x E + 1e-12 of one exposure, computed as the separate
// measures and products would be, without holding the measures.
cv::Mat combined_weight(const cv::Mat& exposure, const Fusion_exponents& e) {
  cv::Mat unit, grey, w;
  exposure.convertTo(unit, CV_32FC3, double(1.f / 255.f), 0);
  cv::cvtColor(unit, grey, cv::COLOR_BGR2GRAY);
  cv::Laplacian(grey, w, CV_32F, 1, 1, 0, cv::BORDER_DEFAULT);
  grey.release();
  const bool pow_c = needs_pow(e.contrast), pow_s = needs_pow(e.saturation),
             pow_e = needs_pow(e.well_exposedness);
  if (pow_c) {
    w = cv::abs(w);
    cv::pow(w, e.contrast, w);
  }
  // Measures with a general exponent are filled first and raised as whole matrices.
  cv::Mat s, x;
  if (pow_s) s.create(exposure.size(), CV_32F);
  if (pow_e) x.create(exposure.size(), CV_32F);
  const float* table = exposedness_table().ptr<float>(0);
  const int cols = exposure.cols;
  auto saturation_at = [](const float* a) {
    const float mean = ((a[0] + a[1]) + a[2]) / 3.f;
    const float d0 = a[0] - mean, d1 = a[1] - mean, d2 = a[2] - mean;
    return std::sqrt(((d0 * d0 + d1 * d1) + d2 * d2) / 3.f);
  };
  auto exposedness_at = [table](const uint8_t* p) {
    return (table[p[0]] * table[p[1]]) * table[p[2]];
  };
  if (pow_s || pow_e) {
    for_rows(exposure.rows, [&](int y) {
      const float* a = unit.ptr<float>(y);
      const uint8_t* p = exposure.ptr<uint8_t>(y);
      float* srow = pow_s ? s.ptr<float>(y) : nullptr;
      float* xrow = pow_e ? x.ptr<float>(y) : nullptr;
      for (int i = 0; i < cols; ++i) {
        if (srow) srow[i] = saturation_at(a + 3 * i);
        if (xrow) xrow[i] = exposedness_at(p + 3 * i);
      }
    });
    if (pow_s) cv::pow(s, e.saturation, s);
    if (pow_e) cv::pow(x, e.well_exposedness, x);
  }
  const bool one_c = e.contrast == 0.f, one_s = e.saturation == 0.f,
             one_e = e.well_exposedness == 0.f;
  for_rows(exposure.rows, [&](int y) {
    const float* a = unit.ptr<float>(y);
    const uint8_t* p = exposure.ptr<uint8_t>(y);
    const float* srow = pow_s ? s.ptr<float>(y) : nullptr;
    const float* xrow = pow_e ? x.ptr<float>(y) : nullptr;
    float* wrow = w.ptr<float>(y);
    for (int i = 0; i < cols; ++i) {
      const float c = one_c ? 1.f : pow_c ? wrow[i] : std::fabs(wrow[i]);
      const float sv = one_s ? 1.f : srow ? srow[i] : saturation_at(a + 3 * i);
      const float ev = one_e ? 1.f : xrow ? xrow[i] : exposedness_at(p + 3 * i);
      wrow[i] = (c * sv) * ev + k_weight_floor;
    }
  });
  return w;
}

// The Laplacian pyramid of the exposure as floats 0..255, each level computed in place
// over its Gaussian level; up is scratch of at least the full size (three channels).
std::vector<cv::Mat> exposure_laplacian(const cv::Mat& exposure, int levels, cv::Mat& up) {
  std::vector<cv::Mat> pyramid(1);
  exposure.convertTo(pyramid[0], CV_32FC3, 1.0);
  for (int i = 1; i < levels; ++i) {
    cv::Mat down;
    cv::pyrDown(pyramid.back(), down, cv::Size(), cv::BORDER_DEFAULT);
    pyramid.push_back(down);
  }
  // Upwards, so each level still has the Gaussian level above it to expand.
  for (size_t i = 0; i + 1 < pyramid.size(); ++i) {
    cv::Mat expanded = view_of(up, pyramid[i].size());
    cv::pyrUp(pyramid[i + 1], expanded, pyramid[i].size(), cv::BORDER_DEFAULT);
    cv::subtract(pyramid[i], expanded, pyramid[i]);
  }
  return pyramid;
}

}  // namespace

cv::Mat exposure_fusion(const std::vector<cv::Mat>& exposures, const Fusion_exponents& exponents,
                        int levels, Progress& progress) {
  if (exposures.empty()) throw std::invalid_argument("exposure fusion needs an exposure");
  check_exponents(exponents);
  for (const cv::Mat& m : exposures) check_exposure(m);
  for (const cv::Mat& m : exposures)
    if (m.size() != exposures.front().size()) throw std::invalid_argument(k_fusion_size_error);
  if (levels > k_fusion_max_levels)
    throw std::invalid_argument("too many pyramid levels for exposure fusion");
  // An image one pixel high or wide has depth 0; one level blends it pixel by pixel.
  if (levels < 1) levels = 1;
  const size_t n = exposures.size();
  const cv::Size size = exposures.front().size();

  progress.start(0, 0, 1, "Computing Weights");
  std::vector<cv::Mat> weights(n);
  for (size_t k = 0; k < n; ++k) weights[k] = combined_weight(exposures[k], exponents);
  progress.update(1);

  progress.start(0, 0, 1, "Combining Weights");
  cv::Mat sum = cv::Mat::zeros(size, CV_32F);
  for (size_t k = 0; k < n; ++k) cv::add(weights[k], sum, sum);
  progress.update(1);

  progress.start(0, 0, float(n), "Creating Laplacian Pyramids");
  cv::Mat up(size, CV_32FC3);  // shared expansion scratch
  std::vector<std::vector<cv::Mat>> laplacians(n);
  for (size_t k = 0; k < n; ++k) {
    laplacians[k] = exposure_laplacian(exposures[k], levels, up);
    progress.update(float(k + 1));
  }

  // The weight levels stay one-channel: the blend multiplies each of the three channels by
  // the same value, as a three-channel copy of the level would.
  progress.start(0, 0, float(n), "Creating Gaussian Pyramids");
  std::vector<std::vector<cv::Mat>> weight_pyramids(n);
  for (size_t k = 0; k < n; ++k) {
    cv::divide(weights[k], sum, weights[k]);
    std::vector<cv::Mat>& pyramid = weight_pyramids[k];
    pyramid.push_back(weights[k]);
    for (int i = 1; i < levels; ++i) {
      cv::Mat down;
      cv::pyrDown(pyramid.back(), down, cv::Size(), cv::BORDER_DEFAULT);
      pyramid.push_back(down);
    }
    weights[k].release();
    progress.update(float(k + 1));
  }
  sum.release();

  // Each result level is written over the first exposure's Laplacian level, element by
  // element after reading it: R = ((0 + w0 L0) + w1 L1) + ...
  progress.start(0, 0, float(levels), "Blending");
  std::vector<cv::Mat> result(static_cast<size_t>(levels));
  for (size_t l = 0; l < result.size(); ++l) {
    cv::Mat& r = laplacians[0][l];
    const int cols = r.cols;
    for_rows(r.rows, [&](int y) {
      float* out = r.ptr<float>(y);
      for (size_t k = 0; k < n; ++k) {
        const float* w = weight_pyramids[k][l].ptr<float>(y);
        const float* lap = laplacians[k][l].ptr<float>(y);
        if (k == 0) {  // the first term is added to 0, as to the zeroed result level
          for (int i = 0; i < cols; ++i)
            for (int c = 0; c < 3; ++c) out[3 * i + c] = w[i] * lap[3 * i + c] + 0.f;
        } else {
          for (int i = 0; i < cols; ++i)
            for (int c = 0; c < 3; ++c) out[3 * i + c] = w[i] * lap[3 * i + c] + out[3 * i + c];
        }
      }
    });
    result[l] = r;
    for (size_t k = 1; k < n; ++k) {
      laplacians[k][l].release();
      weight_pyramids[k][l].release();
    }
    weight_pyramids[0][l].release();
    progress.update(float(l + 1));
  }
  laplacians.clear();

  // The collapse as collapse_pyramid does it, expanding into the shared scratch.
  for (size_t i = result.size() - 1; i > 0; --i) {
    cv::Mat expanded = view_of(up, result[i - 1].size());
    cv::pyrUp(result[i], expanded, result[i - 1].size(), cv::BORDER_DEFAULT);
    cv::add(result[i - 1], expanded, result[i - 1]);
    result[i].release();
  }
  return result[0];
}

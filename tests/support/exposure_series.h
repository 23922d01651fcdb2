// Exposure series rendered from a known radiance through a known inverse response, so
// that merging and response recovery have exact answers to compare with.
#pragma once
#include <cstdint>
#include <vector>

#include "hdr/exposure_planes.h"

struct Exposure_series {
  Exposure_series() = default;
  Exposure_series(const Exposure_series&) = delete;  // planes point into pixels
  Exposure_series& operator=(const Exposure_series&) = delete;

  uint32_t width = 0, height = 0;
  std::vector<std::vector<uint8_t>> pixels;  // planar RGB bytes per exposure
  std::vector<Exposure_planes> planes;       // views of pixels
  std::vector<float> times;                  // relative exposures
};

/// Renders radiance (planar RGB, width*height*3 floats) at each relative exposure: every
/// value x = radiance * t, clipped to [0, 1], becomes the level nearest to x on the scale
/// of the inverse response f_inv (256 ascending values from 0 to 1, linearly interpolated
/// between levels), as a camera with that response would quantise it.
void render_exposures(Exposure_series& series, const std::vector<float>& radiance, uint32_t width,
                      uint32_t height, const std::vector<float>& times, const float* f_inv);

/// A series of explicit levels: levels[m] holds exposure m's planar RGB bytes.
void make_series(Exposure_series& series, uint32_t width, uint32_t height,
                 const std::vector<std::vector<uint8_t>>& levels, const std::vector<float>& times);

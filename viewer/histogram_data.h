// The histogram dialog's numbers, away from its widgets: the 256-bin histogram of one
// channel on a linear or logarithmic scale, the bar colour of each channel, and the
// cache of the eight histograms of one image.
#pragma once
#include <cstdint>
#include <memory>

/// Items of the "Channel:" choice, in its order.
enum Hist_channel : int { k_hist_luminance = 0, k_hist_red, k_hist_green, k_hist_blue };
/// Items of the "Scale:" choice, in its order.
enum Hist_scale : int { k_hist_linear = 0, k_hist_logarithmic };

constexpr int k_hist_channels = 4, k_hist_scales = 2;
/// Bins of the dialog's histogram: one per displayable grey level.
constexpr uint32_t k_histogram_bins = 256;

struct Bar_colour {
  uint8_t r, g, b;
};
/// The bar colour of a channel (grey for luminance); an unknown channel gets grey.
Bar_colour histogram_bar_colour(int channel);

/// k_histogram_bins counts over the n values of source, from their minimum to their
/// maximum; logarithmic bins ln(v + 1e-6) of a temporary copy, so source stays as it was.
/// NaN values are not counted; n = 0 gives zero counts.
std::unique_ptr<uint32_t[]> channel_histogram(const float* source, uint64_t n, bool logarithmic);

/// The histograms of one image's red, green and blue planes (lent, n values each),
/// computed on first request and kept until clear(). The luminance plane is computed once
/// for as long as the planes are set.
class Histogram_cache {
 public:
  /// Forgets everything, then lends the planes.
  void set_planes(const float* red, const float* green, const float* blue, uint64_t n);
  /// The k_histogram_bins counts of the channel and scale (clamped to the choices'
  /// ranges); null when no planes are set. Owned by the cache until clear().
  const uint32_t* histogram(int channel, int scale);
  /// Frees the luminance plane and every histogram and forgets the planes.
  void clear();

  bool cached(int channel, int scale) const;
  bool has_luminance() const { return m_luminance != nullptr; }
  uint64_t size() const { return m_n; }
  /// How often the luminance plane and a histogram were computed since construction.
  int luminance_computations() const { return m_luminance_runs; }
  int histogram_computations() const { return m_histogram_runs; }

 private:
  const float* m_planes[3] = {nullptr, nullptr, nullptr};
  uint64_t m_n = 0;
  std::unique_ptr<float[]> m_luminance;
  std::unique_ptr<uint32_t[]> m_slots[k_hist_channels][k_hist_scales];
  int m_luminance_runs = 0, m_histogram_runs = 0;
};

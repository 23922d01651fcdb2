// channel_histogram, the bar colours and the histogram cache.
#include "viewer/histogram_data.h"

#include <algorithm>
#include <cstring>

#include "core/luminance.h"

Bar_colour histogram_bar_colour(int channel) {
  switch (channel) {
    case k_hist_red:
      return {205, 47, 47};
    case k_hist_green:
      return {162, 220, 80};
    case k_hist_blue:
      return {82, 88, 198};
    default:
      return {96, 96, 96};
  }
}

std::unique_ptr<uint32_t[]> channel_histogram(const float* source, uint64_t n, bool logarithmic) {
  if (!logarithmic || n == 0) {
    // Without the logarithm compute_histogram only reads the values.
    return compute_histogram(const_cast<float*>(source), n, k_histogram_bins, false);
  }
  // The logarithm is taken in place: a lent plane must stay as it was.
  std::unique_ptr<float[]> copy(new float[n]);
  std::memcpy(copy.get(), source, n * sizeof(float));
  return compute_histogram(copy.get(), n, k_histogram_bins, true);
}

void Histogram_cache::set_planes(const float* red, const float* green, const float* blue,
                                 uint64_t n) {
  clear();
  m_planes[0] = red;
  m_planes[1] = green;
  m_planes[2] = blue;
  m_n = n;
}

void Histogram_cache::clear() {
  m_luminance.reset();
  for (auto& channel : m_slots)
    for (auto& slot : channel) slot.reset();
  m_planes[0] = m_planes[1] = m_planes[2] = nullptr;
  m_n = 0;
}

bool Histogram_cache::cached(int channel, int scale) const {
  if (channel < 0 || channel >= k_hist_channels || scale < 0 || scale >= k_hist_scales)
    return false;
  return m_slots[channel][scale] != nullptr;
}

const uint32_t* Histogram_cache::histogram(int channel, int scale) {
  if (!m_planes[0]) return nullptr;
  channel = std::clamp(channel, 0, k_hist_channels - 1);
  scale = std::clamp(scale, 0, k_hist_scales - 1);
  std::unique_ptr<uint32_t[]>& slot = m_slots[channel][scale];
  if (slot) return slot.get();

  const float* source = nullptr;
  if (channel == k_hist_luminance) {
    if (!m_luminance) {
      m_luminance = luminance_from_planes(m_planes[0], m_planes[1], m_planes[2], m_n);
      ++m_luminance_runs;
    }
    source = m_luminance.get();
  } else {
    source = m_planes[channel - 1];
  }
  slot = channel_histogram(source, m_n, scale == k_hist_logarithmic);
  ++m_histogram_runs;
  return slot.get();
}

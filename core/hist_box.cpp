// HistBox: the bar chart.
#include "core/hist_box.h"

#include <FL/fl_draw.H>

#include <algorithm>

int hist_bar_height(uint32_t count, uint32_t maximum, int box_h) {
  if (maximum == 0 || box_h <= 0) return 0;
  // The tallest bar leaves a quarter of the box free above it.
  const float h = float(count) * 0.75f * float(box_h) / float(maximum);
  return std::clamp(int(h), 0, box_h);
}

HistBox::HistBox(int x, int y, int w, int h, const char* label) : Fl_Box(x, y, w, h, label) {}

HistBox::~HistBox() = default;

void HistBox::set_data(const uint32_t* bins, int n, uint8_t r, uint8_t g, uint8_t b) {
  m_bins.reset();
  m_n = 0;
  m_maximum = 0;
  m_r = r;
  m_g = g;
  m_b = b;
  if (!bins || n <= 0) return;
  m_bins.reset(new uint32_t[n]);
  std::copy(bins, bins + n, m_bins.get());
  m_n = n;
  m_maximum = *std::max_element(bins, bins + n);
}

void HistBox::draw() {
  fl_push_clip(x(), y(), w(), h());
  draw_box();
  fl_color(255, 255, 255);
  fl_rectf(x(), y(), w(), h());

  // Quarters of the width.
  const int step = w() / 4;
  fl_color(128, 128, 128);
  for (int k = 1; k <= 3; ++k) fl_rectf(x() + k * step, y(), 1, h());

  if (m_n > 0 && m_maximum > 0) {
    const int bar_w = w() / m_n;
    fl_color(m_r, m_g, m_b);
    for (int i = 0; i < m_n && bar_w > 0; ++i) {
      const int bar_h = hist_bar_height(m_bins[i], m_maximum, h());
      if (bar_h > 0) fl_rectf(x() + i * bar_w, y() + h() - bar_h, bar_w, bar_h);
    }
  }
  fl_pop_clip();
}

// The histogram widget: a bar chart of bin counts on white with three grey grid lines.
// The histogram dialog and the tone-mapping dialog's preview draw with it.
#pragma once
#include <FL/Fl_Box.H>

#include <cstdint>
#include <memory>

/// Height in pixels of a bar of count in a box box_h high whose largest bin is maximum:
/// the largest bin reaches three quarters of the box. 0 when maximum is 0.
int hist_bar_height(uint32_t count, uint32_t maximum, int box_h);

class HistBox : public Fl_Box {
 public:
  /// A box with no data: it draws the background and the grid only.
  HistBox(int x, int y, int w, int h, const char* label = nullptr);
  ~HistBox() override;

  /// Copies n counts (none when bins is null or n <= 0) and the bar colour; the caller
  /// redraws.
  void set_data(const uint32_t* bins, int n, uint8_t r, uint8_t g, uint8_t b);

  const uint32_t* bins() const { return m_bins.get(); }
  int bin_count() const { return m_n; }
  uint32_t maximum() const { return m_maximum; }
  uint8_t bar_red() const { return m_r; }
  uint8_t bar_green() const { return m_g; }
  uint8_t bar_blue() const { return m_b; }

 protected:
  void draw() override;

 private:
  std::unique_ptr<uint32_t[]> m_bins;
  int m_n = 0;
  uint32_t m_maximum = 0;
  uint8_t m_r = 0, m_g = 0, m_b = 0;
};

// The camera response plot's arithmetic (see the header).
#include "hdr/response_plot.h"

#include <cmath>

bool plot_row_offset(float value, int height, int& offset) {
  if (std::isnan(value)) return false;
  const float h = float(height);
  float rows = h * value;
  // Infinity (also from an overflowing product) compares like any other large value.
  if (rows > 2 * h) rows = 2 * h;
  if (rows < -h) rows = -h;
  offset = int(rows);
  return true;
}

void fill_reference_curves(int n, float* gamma, float* linear) {
  for (int i = 0; i < n; ++i) {
    const float s = n > 1 ? float(i) / float(n - 1) : 0.f;
    gamma[i] = powf(s, 2.2f);
    linear[i] = s;
  }
}

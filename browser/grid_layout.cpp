#include "browser/grid_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr size_t k_label_max = 18, k_label_head = 13, k_label_tail = 4;

int64_t rows_end(size_t n, int columns, int grid_y, int yposition, const Grid_geometry& g) {
  const int64_t rows = int64_t(n / size_t(columns));
  return (rows + 1) * g.gap + rows * g.tile_h - yposition + grid_y;
}

}  // namespace

Grid_geometry grid_geometry(float s) {
  if (!std::isfinite(s) || s <= 0.f) s = 1.0f;
  Grid_geometry g;
  g.tile_w = int(128 * s);
  g.tile_h = int(128 * s);
  g.gap = std::min(30, int(30 * s));
  g.label_size = std::min(int(12 * s), 12);
  g.scale = s;
  return g;
}

int grid_columns(size_t n, int grid_x, int grid_y, int grid_w, int yposition,
                 const Grid_geometry& g) {
  const int pitch = std::max(1, g.tile_w + g.gap);
  const int fit = std::max(1, grid_w / pitch);
  // Right edge of the last column: grid_x + c * pitch.
  const int widest = std::max(fit, (k_grid_coordinate_limit - grid_x) / pitch);
  int c = fit;
  while (c < widest && rows_end(n, c, grid_y, yposition, g) > k_grid_coordinate_limit) ++c;
  return c;
}

void tile_position(size_t i, int columns, int grid_x, int grid_y, int yposition,
                   const Grid_geometry& g, int& x, int& y) {
  const int64_t c = std::max(1, columns);
  const int64_t r = int64_t(i) / c, k = int64_t(i) % c;
  x = int(grid_x + k * g.tile_w + (k + 1) * g.gap);
  y = int(grid_y + (r + 1) * g.gap + r * g.tile_h - yposition);
}

std::string shown_label(const std::string& name) {
  // Counted in UTF-8 characters: a byte 10xxxxxx continues the character before it, so
  // a cut never falls inside one.
  std::vector<size_t> starts;
  for (size_t i = 0; i < name.size(); ++i)
    if (i == 0 || (static_cast<unsigned char>(name[i]) & 0xC0) != 0x80) starts.push_back(i);
  if (starts.size() <= k_label_max) return name;
  return name.substr(0, starts[k_label_head]) + ".." +
         name.substr(starts[starts.size() - k_label_tail]);
}

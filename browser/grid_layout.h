// The thumbnail grid's geometry as plain arithmetic: tile sizes for a thumbnail scale, the
// column count (kept within the toolkit's 16-bit window coordinates), tile positions and
// the shortened names under the pictures.
#pragma once
#include <cstddef>
#include <string>

/// Geometry of one scale: picture size, gap between tiles and label font size.
struct Grid_geometry {
  int tile_w = 128, tile_h = 128, gap = 30, label_size = 12;
  float scale = 1.0f;
};

/// Height of the name label under each picture.
constexpr int k_tile_label_h = 20;
/// Coordinates are kept below this, inside X11's 16-bit window coordinates.
constexpr int k_grid_coordinate_limit = 32000;

/// 128 x 128, gap 30, label 12 at scale 1; trunc(128 s), min(30, trunc(30 s)),
/// min(trunc(12 s), 12) otherwise (96/96/22/9 at 0.75, 64/64/15/6 at 0.5). A scale that
/// is not a positive finite number counts as 1.
Grid_geometry grid_geometry(float scale);

/// Columns for n tiles in a grid w wide whose top edge is at grid_y, scrolled down by
/// yposition: as many as fit the width (at least 1), widened while the last full row would
/// end below the coordinate limit, but never so wide that the rightmost tile (grid at
/// grid_x) passes the limit.
int grid_columns(size_t n, int grid_x, int grid_y, int grid_w, int yposition,
                 const Grid_geometry& g);

/// Top-left corner of tile i: row i / columns, column i % columns.
void tile_position(size_t i, int columns, int grid_x, int grid_y, int yposition,
                   const Grid_geometry& g, int& x, int& y);

/// The name shown under a picture: names longer than 18 characters become their first 13
/// characters, "..", and their last 4. Characters are UTF-8 ones, never cut in two.
std::string shown_label(const std::string& name);

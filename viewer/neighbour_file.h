// Next and Previous Image: which of the thumbnail grid's files follows or precedes the
// viewer's file.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

/// Index in paths (the grid's tiles in grid order) of the file after (forward) or before
/// the viewer's file current. The search runs as the menu expects: forward over indices
/// 0 to n - 2 upwards, backward over n - 1 down to 1, the first equal path being the
/// viewer's. Empty when current is not found there: not shown in the grid, or already
/// the last (forward) or the first (backward).
std::optional<size_t> neighbour_index(const std::vector<std::string>& paths,
                                      const std::string& current, bool forward);

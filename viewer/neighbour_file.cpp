// The neighbour of the viewer's file in the grid (see the header).
#include "viewer/neighbour_file.h"

#include <algorithm>

std::optional<size_t> neighbour_index(const std::vector<std::string>& paths,
                                      const std::string& current, bool forward) {
  if (paths.size() < 2) return std::nullopt;
  if (forward) {
    const auto last = paths.end() - 1;  // the last file has no next one
    const auto it = std::find(paths.begin(), last, current);
    if (it == last) return std::nullopt;
    return size_t(it - paths.begin()) + 1;
  }
  const auto first = paths.rend() - 1;  // the first file has no previous one
  const auto it = std::find(paths.rbegin(), first, current);
  if (it == first) return std::nullopt;
  return paths.size() - 1 - size_t(it - paths.rbegin()) - 1;
}

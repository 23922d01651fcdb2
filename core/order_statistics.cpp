// Multiple selection by nested nth_element (see the header).
#include "core/order_statistics.h"

#include <algorithm>
#include <cmath>

namespace {

// The order of sorted_luminance: NaN ahead of every number.
bool nan_first_less(float a, float b) {
  if (std::isnan(a)) return !std::isnan(b);
  return a < b;
}

// Places the ranks [r0, r1) of the sorted list within v[lo, hi): the middle rank first,
// then each side on its own part only, O(n log m) in all.
void select(float* v, uint64_t lo, uint64_t hi, const uint64_t* r0, const uint64_t* r1) {
  while (r0 < r1 && hi - lo > 1) {
    const uint64_t* mid = r0 + (r1 - r0) / 2;
    std::nth_element(v + lo, v + *mid, v + hi, nan_first_less);
    select(v, lo, *mid, r0, mid);
    lo = *mid + 1;
    r0 = mid + 1;
  }
}

}  // namespace

void select_ranks(float* v, uint64_t n, std::vector<uint64_t> ranks) {
  ranks.erase(std::remove_if(ranks.begin(), ranks.end(), [n](uint64_t r) { return r >= n; }),
              ranks.end());
  std::sort(ranks.begin(), ranks.end());
  ranks.erase(std::unique(ranks.begin(), ranks.end()), ranks.end());
  select(v, 0, n, ranks.data(), ranks.data() + ranks.size());
}

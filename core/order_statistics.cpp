// Multiple selection by nested nth_element (see the header).
#include "core/order_statistics.h"

#include <algorithm>
#include <cmath>

namespace {

// Places the ranks [r0, r1) of the sorted list within v[lo, hi), which holds no NaN:
// the middle rank first, then each side on its own part only, O(n log m) in all.
void select(float* v, uint64_t lo, uint64_t hi, const uint64_t* r0, const uint64_t* r1) {
  while (r0 < r1 && hi - lo > 1) {
    const uint64_t* mid = r0 + (r1 - r0) / 2;
    std::nth_element(v + lo, v + *mid, v + hi);
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
  // NaN values go to the front once; the ranks past them then need only '<'.
  const uint64_t nans =
      uint64_t(std::partition(v, v + n, [](float x) { return std::isnan(x); }) - v);
  const uint64_t* first = std::lower_bound(ranks.data(), ranks.data() + ranks.size(), nans);
  select(v, nans, n, first, ranks.data() + ranks.size());
}

// Chosen order statistics of a large array without sorting all of it: the percentiles
// of the display exposure need about a hundred ranks of tens of millions of values.
#pragma once
#include <cstdint>
#include <vector>

/// Reorders v (n values) so that v[r] holds, for every rank r in ranks (each below n),
/// the value a full ascending sort would put there; NaN values sort first. The other
/// positions hold the remaining values in no useful order.
void select_ranks(float* v, uint64_t n, std::vector<uint64_t> ranks);

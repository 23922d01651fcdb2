// The merge's weighting tables and the noise taper.
#include "hdr/weight_tables.h"

#include <cmath>

Weight_tables::Weight_tables() {
  for (auto& t : w) t.assign(size_t(k_response_levels) * k_response_levels, 0.f);
}

void build_weight_tables(const Active_response& response, Weight_tables& tables) {
  std::array<double, k_response_levels> hat;
  for (int l = 0; l < k_response_levels; ++l) {
    const float h = std::pow(float(l) / 127.5f - 1.f, float(k_hat_exponent));
    hat[l] = 1.0 - double(h);
  }
  for (int c = 0; c < 3; ++c) {
    float* w = tables.w[c].data();
    for (int z = 0; z < k_response_levels; ++z) {
      const float p = response.f_pri[c][z] * response.f_inv[c][z];
      for (int l = 0; l < k_response_levels; ++l)
        w[z * k_response_levels + l] = float(double(p) * hat[l] + double(k_weight_floor));
    }
  }
}

Taper_table make_taper_table() {
  Taper_table t;
  for (int z = 0; z < k_response_levels; ++z) {
    if (z < 200) {
      t[z] = 1.f;
    } else if (z < 250) {
      const float u = 1.f - float(250 - z) / 50.f;
      t[z] = (1.f - 3.f * u * u) + 2.f * u * u * u;
    } else {
      t[z] = 0.f;
    }
  }
  return t;
}

// Tables that weight each exposure's estimate in the merge, and the taper that fades
// near-saturated neighbours out of the noise reduction.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "hdr/response_tables.h"

/// Exponent of the hat over the luminance level: near 1 around mid-grey, 0 at 0 and 255.
constexpr int k_hat_exponent = 12;
/// Keeps every weight positive, so a pixel dark or clipped in every exposure still has one.
constexpr float k_weight_floor = 1e-6f;

/// W_R, W_G, W_B: 256 x 256 floats each, indexed [z * 256 + L] by a channel level z and
/// a luminance level L. Allocated once; refilled by build_weight_tables.
struct Weight_tables {
  Weight_tables();
  std::vector<float> w[3];
  const float* row(int c, int z) const { return w[c].data() + z * k_response_levels; }
};

/// W_c[z][L] = f_pri_c[z] f_inv_c[z] (1 - (L/127.5 - 1)^12) + 1e-6: the product of the
/// tables and the hat in single precision, the rest in double, stored as float.
void build_weight_tables(const Active_response& response, Weight_tables& tables);

/// T[z]: 1 up to 199, a smooth cubic fall over 200..249 (1 - 3u^2 + 2u^3 with
/// u = (z - 200)/50), 0 from 250.
using Taper_table = std::array<float, k_response_levels>;
Taper_table make_taper_table();

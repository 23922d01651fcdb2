// Optional Radiance header fields, shared by the RGBE reader and writer.
#pragma once

/// Bits of Rgbe_header_info::valid.
constexpr int k_rgbe_valid_programtype = 0x01;
constexpr int k_rgbe_valid_gamma = 0x02;
constexpr int k_rgbe_valid_exposure = 0x04;

struct Rgbe_header_info {
  int valid = 0;              // which of the fields below were read (or are to be written)
  char programtype[16] = {};  // after "#?" on the first line, at most 15 characters
  float gamma = 1.0f;         // "GAMMA=" line
  float exposure = 1.0f;      // "EXPOSURE=" line
};

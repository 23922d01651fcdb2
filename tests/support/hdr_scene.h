// A synthetic HDR scene for operator property tests: sky gradient, a sun, deep shadows,
// coloured patches and fine texture, spanning about ten orders of magnitude.
#pragma once
#include <cstdint>

#include "tests/support/rgb_rows.h"

/// The scene as interleaved RGB rows; deterministic for a given size.
Rgb_rows hdr_scene_rows(int32_t width, int32_t height);

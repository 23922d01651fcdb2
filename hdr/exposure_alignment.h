// Alignment of a hand-held exposure series: integer translations between consecutive
// exposures found by matching brightness-independent direction codes of the green channel,
// chained to the middle exposure, and applied with zero fill.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "hdr/exposure_planes.h"
#include "hdr/progress.h"

/// Search radius of the shift between two exposures and the region search's margin.
constexpr int k_align_margin = 40;
/// Side of the compared window (its codes cover window - 1 pixels a side).
constexpr int k_align_window = 33;
/// Side of a direction-code map.
constexpr int k_code_side = 32;
/// Random centres the region search tries per pass.
constexpr int k_roi_candidates = 10000;
/// Passes of the region search, each halving the edge threshold, before it gives up on
/// an exposure without texture (after 17 any non-zero edge mean passes).
constexpr int k_roi_passes = 20;

/// 32 x 32 codes 1..9, row-major: one per pixel of the window, from the signs of the
/// differences to its right and lower neighbours.
using Direction_map = std::array<uint32_t, k_code_side * k_code_side>;

/// The channel the alignment examines: green (plane 1), or the only one of a grey image.
const uint8_t* alignment_plane(const Exposure_planes& exposure);

/// Looks for the centre of a textured, unclipped region in the middle third of the
/// exposure (margin 40, window 33 in the program); candidate 0 is the previous position
/// unless previous_x is -1. A centre qualifies only when the clip square and the whole
/// shift search around it lie inside the image, and every level of the clip square lies
/// in 5..250 in the exposure and, when given, in next (the exposure searched for the
/// match, of the same size). Each pass halves the edge threshold; the clip bounds stay.
/// Draws are seeded with seed. Returns false, leaving x and y as they were, when no centre
/// qualified within k_roi_passes passes (a uniform, clipped, too small or unreadable
/// exposure, or a next exposure clipped over the searched area).
bool find_roi(const Exposure_planes& exposure, int margin, int window, int previous_x,
              int previous_y, int& x, int& y, uint32_t seed, const Exposure_planes* next = nullptr);

/// Fills map with the direction codes of the window centred at (x, y); pixels outside the
/// image read as the nearest edge pixel.
void direction_codes(const Exposure_planes& exposure, int x, int y, int window, Direction_map& map);

/// Positions among the first window - 1 rows and columns (at most 32) where a and b differ.
int code_mismatch(const Direction_map& a, const Direction_map& b, int window);

/// Rewrites pairwise shifts (entry j: exposure j against j - 1; entry 0 unused) into
/// shifts relative to the middle exposure n / 2.
void chain_shifts(std::vector<int>& shifts);

/// Translates every channel: the new pixel (x, y) is the old (x + dx, y + dy), 0 outside.
void translate_exposure(Exposure_planes& exposure, int dx, int dy);

/// Aligns the exposures in place to the middle one (phase "Aligning images", one step per
/// pair). Returns 0, or -1 when the user cancelled, before any exposure moved. A pair of
/// different sizes, or without a region textured in exposure i and unclipped in both, is
/// left unshifted. Region searches are seeded with seed + pair index.
int align_exposures_seeded(std::vector<Exposure_planes>& exposures, Progress& progress,
                           uint32_t seed);

/// As above, seeded with the current time; fits Align_exposures_fn of the assembly.
int align_exposures(std::vector<Exposure_planes>& exposures, Progress& progress);

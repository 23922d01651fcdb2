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
/// Levels from k_clip_low to k_clip_high carry texture; a level outside may be clipped
/// in one exposure of a pair and not in the other.
constexpr int k_clip_low = 5, k_clip_high = 250;
/// Code positions of a region (of 1024) that must be unclipped in both exposures of the
/// pair, and code positions a shift must compare, before the region or the shift counts.
constexpr int k_min_region_codes = 512;
constexpr int k_min_compared_codes = 256;

/// 32 x 32 codes 1..9, row-major: one per pixel of the window, from the signs of the
/// differences to its right and lower neighbours; 0 for a position left out.
using Direction_map = std::array<uint32_t, k_code_side * k_code_side>;

/// The channel the alignment examines: green (plane 1), or the only one of a grey image.
const uint8_t* alignment_plane(const Exposure_planes& exposure);

/// Looks for the centre of a textured, unclipped region of the exposure (margin 40,
/// window 33 in the program); candidate 0 is the previous position unless previous_x is
/// -1. A centre qualifies only when the whole shift search around it lies inside the
/// image, at least k_min_region_codes of its window's code positions are unclipped (their
/// pixel and its right and lower neighbours in k_clip_low..k_clip_high) in the exposure
/// and, when given, in next (the exposure searched for the match, of the same size), and
/// both Sobel means of the window, over pixels whose 3 x 3 neighbourhood is unclipped,
/// exceed the pass's threshold. Each pass tries 10,000 random centres in the middle third
/// of the image, then the most textured of a grid of windows over the whole image; then
/// halves the threshold. Draws are seeded with seed. Returns false, leaving x and y as
/// they were, when no centre qualified within k_roi_passes passes (a uniform, clipped, too
/// small or unreadable exposure, or a next exposure clipped wherever this one has texture).
bool find_roi(const Exposure_planes& exposure, int margin, int window, int previous_x,
              int previous_y, int& x, int& y, uint32_t seed, const Exposure_planes* next = nullptr);

/// Fills map with the direction codes of the window centred at (x, y); pixels outside the
/// image read as the nearest edge pixel. With skip_clipped, a position whose pixel or
/// right or lower neighbour lies outside k_clip_low..k_clip_high gets code 0 instead.
void direction_codes(const Exposure_planes& exposure, int x, int y, int window, Direction_map& map,
                     bool skip_clipped = false);

/// Positions among the first window - 1 rows and columns (at most 32) where a and b differ.
int code_mismatch(const Direction_map& a, const Direction_map& b, int window);

/// Of the positions where both maps hold a code (not 0), how many there are and at how
/// many the codes differ.
struct Code_match {
  int compared = 0;
  int differing = 0;
};
Code_match match_codes(const Direction_map& a, const Direction_map& b);

/// Rewrites pairwise shifts (entry j: exposure j against j - 1; entry 0 unused) into
/// shifts relative to the middle exposure n / 2.
void chain_shifts(std::vector<int>& shifts);

/// Translates every channel: the new pixel (x, y) is the old (x + dx, y + dy), 0 outside.
void translate_exposure(Exposure_planes& exposure, int dx, int dy);

/// Aligns the exposures in place to the middle one (phase "Aligning images", one step per
/// pair). Returns 0, or -1 when the user cancelled, before any exposure moved. The codes
/// of pixels clipped in either exposure are left out of every comparison. A pair is left
/// unshifted, and its index i (exposures i and i + 1) added to uncompared, when it has
/// different sizes, no region textured in exposure i and unclipped in both, or no clear
/// best shift: another shift matches as well (a tie), or the best match is hardly better
/// than a typical one (a region of noise). Region searches are seeded with seed + i.
int align_exposures_seeded(std::vector<Exposure_planes>& exposures, Progress& progress,
                           uint32_t seed, std::vector<int>* uncompared = nullptr);

/// As above, seeded with the current time; fits Align_exposures_fn of the assembly.
int align_exposures(std::vector<Exposure_planes>& exposures, Progress& progress,
                    std::vector<int>& uncompared);

// The merge of one group of 8-bit exposures into an HDR image: response choice,
// weighting tables, optional noise reduction and alignment, weighted mean of irradiances.
#pragma once
#include <vector>

#include "core/hdr_image.h"
#include "hdr/exposure_planes.h"
#include "hdr/hdr_questions.h"
#include "hdr/progress.h"
#include "hdr/response_tables.h"
#include "hdr/weight_tables.h"

/// Shown when an exposure's size or channel count differs from the result's.
extern const char* const k_message_size_mismatch;
/// Shown when a relative exposure is zero, negative or not finite.
extern const char* const k_message_bad_exposure;

/// Exposures averaged in noise reduction: the exposure itself and up to five brighter ones.
constexpr int k_noise_window = 6;

/// Aligns the exposures in place (their content translated, uncovered pixels 0) and sets
/// uncompared to the pairs i (exposures i and i + 1) it could not compare; returns 0, or
/// -1 when the user cancelled.
using Align_exposures_fn = int (*)(std::vector<Exposure_planes>& exposures, Progress& progress,
                                   std::vector<int>& uncompared);

/// What the HDR dialog keeps between assemblies: the responses, the weighting tables
/// (refilled by every assembly) and the noise taper (fixed).
struct Assembly_state {
  Response_state response;
  Weight_tables weights;
  Taper_table taper = make_taper_table();
};

/// The dialog's settings for one assembly.
struct Assembly_settings {
  /// "Camera Response:" value; the response questions may change it (copy it back).
  int response_choice = k_response_srgb;
  bool reduce_noise = false;
  bool align = false;
  /// Recovery and the store; null until they exist (then only sRGB and linear work).
  Camera_response_source* camera_source = nullptr;
  /// The alignment; with a null hook "align" does nothing.
  Align_exposures_fn align_exposures = nullptr;
  /// Set by the assembly: the pairs the alignment could not compare (none without it).
  std::vector<int> uncompared_pairs;
};

/// Merges the exposures (ascending relative exposure exposure_times[m] > 0) into result,
/// which must be width x height x 1 x 3 like every exposure (3 channels each).
/// Throws Refusal with k_message_size_mismatch or k_message_bad_exposure for a group it
/// cannot merge. Returns 0, or -1 when there is no exposure (or not one time for each),
/// the response question (asked through questions) was cancelled or the user pressed
/// "Cancel" (the result then holds partial values and the exposures may be partly
/// rewritten). Noise reduction and alignment rewrite the exposures.
/// A pixel clipped in the shortest exposure (luminance level 250 or more) takes
/// f_inv_c(z) / t of that exposure, one black in the longest (level 5 or less) that of the
/// longest; every other pixel is the weighted mean. Every result value lies in [0, 3.4028235e38],
/// whatever the response tables hold.
int build_hdr(Assembly_state& state, Hdr_image& result, std::vector<Exposure_planes>& exposures,
              const std::vector<float>& exposure_times, Assembly_settings& settings,
              Progress& progress, Hdr_questions& questions);

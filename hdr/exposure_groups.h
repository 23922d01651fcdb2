// The split of the files chosen for HDR creation into groups, one group per HDR image:
// all files at once, a fixed count per group, or runs of close EXIF capture times.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "hdr/hdr_questions.h"

/// One file of a group. Plain data copied out of the file's tile before anything pumps
/// events (a folder scan may delete the tile meanwhile): its full path and its shown
/// thumbnail as interleaved 8-bit RGB (thumb_w x thumb_h pixels); its image type code
/// and header size ride along for the loading that follows the grouping.
struct Exposure_record {
  std::string path;
  uint32_t type = 0;
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> thumb_pixels;
  uint32_t thumb_w = 0, thumb_h = 0;
  /// Seconds of the EXIF capture date read as local time; 0 when grouping did not use it.
  int64_t capture_time = 0;
  /// Relative exposure; 0 until exposure_values fills it.
  float exposure = 0.f;
};

/// The groups in the order they were formed; exposure_values sorts each one.
using Exposure_groups = std::vector<std::vector<Exposure_record>>;

/// Two files whose capture times lie more than this many seconds apart belong to
/// different groups; exactly 15 s apart stay together.
constexpr int64_t k_group_gap_seconds = 15;

/// Range of "Exposures per HDR:".
constexpr double k_min_exposures_per_hdr = 2, k_max_exposures_per_hdr = 20;

/// Shown when capture-time grouping fails.
extern const char* const k_message_autodetect_failed;
/// Shown once when a file of the groups comes from another camera than the first.
std::string different_camera_warning(const std::string& camera_name);

/// The dialog's settings that grouping and exposure values read.
struct Grouping_settings {
  bool batch = false;            // "Batch Create HDR..." rather than "Create HDR..."
  double exposures_per_hdr = 5;  // "Exposures per HDR:", truncated to an integer
  bool autodetect = true;        // "Autodetect exposures to combine"; cleared on failure
  int response_choice = 2;       // "Camera Response:" index (Response_choice)
  std::string camera_name;       // make + " " + model of the first chosen file
  int exposure_variation = 0;    // "Exposure Variation:" index (Exposure_variation)
  std::string exposure_ratio;    // text of "Exposure ratio:"
};

/// Splits files (in selection order) into groups of k, the last holding the remainder.
/// k is exposures_per_hdr truncated; a value below 1 or not a number counts as 1.
Exposure_groups groups_by_count(const std::vector<Exposure_record>& files,
                                double exposures_per_hdr);

/// Sorts records by capture time and starts a new group wherever the time advances by
/// more than k_group_gap_seconds. Works for any int64 times (no overflow).
Exposure_groups groups_by_capture_time(std::vector<Exposure_record> records);

/// Reads every file's EXIF capture time (read_capture_time) into a copy of its record and
/// appends the capture-time groups to groups. False, with nothing appended, when any file
/// has no readable capture time.
bool autodetect_groups(const std::vector<Exposure_record>& files, Exposure_groups& groups);

/// The whole grouping of a creation: one group without the batch flag, else by count or
/// by capture time; the camera check for the recovered-response choices, which warns once
/// through questions (different_camera_warning) and goes on; then exposure_values. No
/// files give no groups. Throws Refusal when there is nothing to create: the texts of
/// exposure_values, or k_message_autodetect_failed, which first clears settings.autodetect
/// (the dialog unchecks its box and activates the count).
void group_exposures(const std::vector<Exposure_record>& files, Grouping_settings& settings,
                     Exposure_groups& groups, Hdr_questions& questions);

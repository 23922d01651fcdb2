// Grouping of the chosen exposures: one group, fixed counts, or capture-time runs.
#include "hdr/exposure_groups.h"

#include <algorithm>
#include <cmath>

#include "core/refusal.h"
#include "hdr/exposure_exif.h"
#include "hdr/exposure_values.h"
#include "hdr/response_tables.h"

const char* const k_message_autodetect_failed =
    "Error: Cannot detect which exposures to combine (exif information might be missing or "
    "incomplete).\nManually specify the number of exposures to combine per HDR image.";

std::string different_camera_warning(const std::string& camera_name) {
  return "Warning: Some of the exposures appear to be captured with a different camera.\nFor "
         "consistency, the camera that captured the first exposure (" +
         camera_name + ") will be used.";
}

Exposure_groups groups_by_count(const std::vector<Exposure_record>& files,
                                double exposures_per_hdr) {
  // Truncation as the slider's value is converted; anything below one file per group (or
  // not a number) would never close a group.
  size_t k = 1;
  if (exposures_per_hdr >= 1) {
    k = exposures_per_hdr >= double(files.size()) ? std::max<size_t>(files.size(), 1)
                                                  : size_t(exposures_per_hdr);
  }
  Exposure_groups groups;
  for (size_t i = 0; i < files.size(); i += k) {
    const size_t end = std::min(files.size(), i + k);
    groups.emplace_back(files.begin() + std::ptrdiff_t(i), files.begin() + std::ptrdiff_t(end));
  }
  return groups;
}

Exposure_groups groups_by_capture_time(std::vector<Exposure_record> records) {
  std::stable_sort(records.begin(), records.end(),
                   [](const Exposure_record& a, const Exposure_record& b) {
                     return a.capture_time < b.capture_time;
                   });
  Exposure_groups groups;
  for (size_t i = 0; i < records.size(); ++i) {
    // Sorted, so the unsigned difference is the exact gap even across the whole int64 range.
    const bool split =
        i == 0 || uint64_t(records[i].capture_time) - uint64_t(records[i - 1].capture_time) >
                      uint64_t(k_group_gap_seconds);
    if (split) groups.emplace_back();
    groups.back().push_back(std::move(records[i]));
  }
  return groups;
}

bool autodetect_groups(const std::vector<Exposure_record>& files, Exposure_groups& groups) {
  std::vector<Exposure_record> records;
  records.reserve(files.size());
  for (const Exposure_record& file : files) {
    Exposure_record record = file;
    record.exposure = 0.f;
    if (!read_capture_time(file.path, record.capture_time)) return false;
    records.push_back(std::move(record));
  }
  Exposure_groups formed = groups_by_capture_time(std::move(records));
  groups.insert(groups.end(), std::make_move_iterator(formed.begin()),
                std::make_move_iterator(formed.end()));
  return true;
}

namespace {

// Warns once when a file's camera differs from the first chosen file's; creation goes on
// with the first camera's name.
void check_cameras(const Exposure_groups& groups, const std::string& camera_name,
                   Hdr_questions& questions) {
  for (const auto& group : groups) {
    for (const Exposure_record& record : group) {
      std::string make, model;
      read_camera_make_model(record.path, make, model);
      if (make + " " + model != camera_name) {
        questions.warn(different_camera_warning(camera_name));
        return;
      }
    }
  }
}

}  // namespace

void group_exposures(const std::vector<Exposure_record>& files, Grouping_settings& settings,
                     Exposure_groups& groups, Hdr_questions& questions) {
  groups.clear();
  if (files.empty()) return;
  if (!settings.batch) {
    groups.push_back(files);
  } else if (!settings.autodetect) {
    groups = groups_by_count(files, settings.exposures_per_hdr);
  } else if (!autodetect_groups(files, groups)) {
    settings.autodetect = false;
    throw Refusal(k_message_autodetect_failed);
  }
  if (settings.response_choice == k_response_recover ||
      settings.response_choice == k_response_use_recovered)
    check_cameras(groups, settings.camera_name, questions);
  exposure_values(groups, settings.exposure_variation, settings.exposure_ratio);
}

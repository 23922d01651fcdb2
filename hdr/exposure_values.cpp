// Relative exposures: EXIF exposure times, or powers of a step in brightness order.
#include "hdr/exposure_values.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "core/refusal.h"
#include "hdr/exposure_exif.h"

const char* const k_exposure_variation_labels[k_variation_count] = {
    "Read from EXIF", "1/3 F-stop",   "2/3 F-stop",   "1 F-stop", "1 1/3 F-stop", "1 2/3 F-stop",
    "2 F-stop",       "2 1/3 F-stop", "2 2/3 F-stop", "3 F-stop", "Other ..."};

// Thirds of a stop as the single-precision constants they were always written as.
const float k_exposure_steps[k_variation_count] = {0.f,        0.33333334f, 0.6666667f, 1.f,
                                                   1.3333334f, 1.6666666f,  2.f,        2.3333333f,
                                                   2.6666667f, 3.f,         0.f};

const char* const k_message_no_exposure_time =
    "Cannot read exposure time information from the exif header.";
const char* const k_message_bad_ratio = "Please enter a valid exposure ratio.";

namespace {

// The stream's float extraction: stops at the first character that cannot belong to a
// number; 0 when nothing can be read.
float stream_float(const std::string& text) {
  std::istringstream in(text);
  float v = 0.f;
  in >> v;
  return v;
}

}  // namespace

float exposure_time_from_text(const std::string& text) {
  const size_t slash = text.find('/');
  const size_t space = text.find(' ');
  float value;
  if (slash != std::string::npos) {
    const float numerator = stream_float(text.substr(0, slash));
    const size_t length =
        space == std::string::npos || space < slash ? std::string::npos : space - slash - 1;
    const float denominator = stream_float(text.substr(slash + 1, length));
    value = denominator != 0.f ? numerator / denominator : 0.f;
  } else {
    value = stream_float(text.substr(0, space));
  }
  return std::isfinite(value) ? value : 0.f;
}

float thumbnail_brightness(const std::vector<uint8_t>& rgb, uint32_t w, uint32_t h) {
  const uint64_t count = std::min<uint64_t>(uint64_t(w) * h, rgb.size() / 3);
  if (count == 0) return 0.f;
  float sum = 0.f;
  for (uint64_t i = 0; i < count; ++i) sum += float(rgb[3 * i + 1]);
  return sum / float(count);
}

bool exposure_step(int variation, const std::string& ratio_text, float& step) {
  if (variation <= k_variation_exif || variation > k_variation_other) return false;
  const float s = variation == k_variation_other ? float(std::log2(std::atof(ratio_text.c_str())))
                                                 : k_exposure_steps[variation];
  if (!(s > 0.f) || !std::isfinite(s)) return false;
  step = s;
  return true;
}

namespace {

void sort_by_exposure(std::vector<Exposure_record>& group) {
  std::stable_sort(
      group.begin(), group.end(),
      [](const Exposure_record& a, const Exposure_record& b) { return a.exposure < b.exposure; });
}

void exif_exposures(std::vector<Exposure_record>& group) {
  for (Exposure_record& record : group) {
    std::string text;
    // A time that reads as 0 (or 1/0) would only be refused after every file is loaded.
    if (!read_exposure_time_text(record.path, text) ||
        !((record.exposure = exposure_time_from_text(text)) > 0.f))
      throw Refusal(k_message_no_exposure_time);
  }
  sort_by_exposure(group);
}

void stepped_exposures(std::vector<Exposure_record>& group, float step) {
  for (Exposure_record& record : group)
    record.exposure = thumbnail_brightness(record.thumb_pixels, record.thumb_w, record.thumb_h);
  sort_by_exposure(group);
  for (size_t i = 0; i < group.size(); ++i) {
    group[i].exposure = std::pow(2.f, float(i) * step);
    // A ratio so large the series overflows.
    if (!std::isfinite(group[i].exposure)) throw Refusal(k_message_bad_ratio);
  }
}

}  // namespace

void exposure_values(Exposure_groups& groups, int variation, const std::string& ratio_text) {
  float step = 0.f;
  if (variation != k_variation_exif && !exposure_step(variation, ratio_text, step))
    throw Refusal(k_message_bad_ratio);
  for (auto& group : groups) {
    if (variation == k_variation_exif)
      exif_exposures(group);
    else
      stepped_exposures(group, step);
  }
}

// Relative exposures of the files of each group: exposure times from EXIF, or powers of
// a fixed F-stop step or of a typed ratio in the order of the thumbnails' brightness.
#pragma once
#include <string>

#include "hdr/exposure_groups.h"

/// Items of the "Exposure Variation:" menu, by index.
enum Exposure_variation : int {
  k_variation_exif = 0,
  k_variation_other = 10,
};
constexpr int k_variation_count = 11;

/// Menu labels by index (a '/' must be escaped before Fl_Menu_::add).
extern const char* const k_exposure_variation_labels[k_variation_count];
/// Step in F-stops by index; 0 for "Read from EXIF" and "Other ...".
extern const float k_exposure_steps[k_variation_count];

extern const char* const k_message_no_exposure_time;
extern const char* const k_message_bad_ratio;

/// The exposure time in seconds from libexif's text of ExposureTime ("1/250 sec.",
/// "2 sec."): numerator / denominator with a '/', else the leading number. 0 when no
/// number can be read or the quotient is not a finite number (a zero denominator).
float exposure_time_from_text(const std::string& text);

/// Mean of the green values of an interleaved RGB thumbnail of w x h pixels, summed in
/// single precision in pixel order; only whole pixels inside rgb count. 0 when empty.
float thumbnail_brightness(const std::vector<uint8_t>& rgb, uint32_t w, uint32_t h);

/// The F-stop step of a menu index: the table, or log2 of the typed ratio for "Other ...".
/// False when the step is not a finite number above 0 (a ratio of 1 or less, or text that
/// is not a number) or the index is not a step item.
bool exposure_step(int variation, const std::string& ratio_text, float& step);

/// Fills the relative exposures of every group and sorts each group by them. With
/// "Read from EXIF" the values are the files' exposure times; otherwise the i-th darkest
/// thumbnail gets 2^(i*step). Throws Refusal with k_message_no_exposure_time (a file
/// without a readable, positive exposure time) or k_message_bad_ratio (an invalid ratio, or
/// powers that overflow a float).
void exposure_values(Exposure_groups& groups, int variation, const std::string& ratio_text);

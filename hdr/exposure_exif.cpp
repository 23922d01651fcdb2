// Make, model, exposure time and capture time of an exposure, read with libexif.
#include "hdr/exposure_exif.h"

#include <libexif/exif-data.h>

#include <climits>
#include <cstdio>
#include <ctime>
#include <vector>

#include "core/exif_thumbnail.h"

namespace {

// Cameras print make and model in at most this many characters; longer texts are cut.
constexpr int k_name_chars = 127;
constexpr int k_exposure_time_chars = 127;
constexpr int k_capture_time_chars = 1023;

bool fits_int(long long v) { return v >= INT_MIN && v <= INT_MAX; }

}  // namespace

bool read_exif_text(const std::string& path, int tag, std::string& text, int max_chars) {
  if (max_chars < 0) return false;
  const Exif_record exif = read_exif_record(path);
  if (!exif) return false;
  ExifEntry* entry = exif_data_get_entry(exif.get(), ExifTag(tag));
  if (!entry) return false;
  std::vector<char> buffer(size_t(max_chars) + 1, '\0');
  exif_entry_get_value(entry, buffer.data(), unsigned(buffer.size()));
  buffer.back() = '\0';
  text = buffer.data();
  return true;
}

void read_camera_make_model(const std::string& path, std::string& make, std::string& model) {
  make = k_unknown_camera_field;
  model = k_unknown_camera_field;
  const Exif_record exif = read_exif_record(path);
  if (!exif) return;
  std::vector<char> buffer(k_name_chars + 1);
  const struct {
    ExifTag tag;
    std::string& out;
  } fields[] = {{EXIF_TAG_MAKE, make}, {EXIF_TAG_MODEL, model}};
  for (const auto& field : fields) {
    if (ExifEntry* entry = exif_data_get_entry(exif.get(), field.tag)) {
      buffer.assign(buffer.size(), '\0');
      exif_entry_get_value(entry, buffer.data(), unsigned(buffer.size()));
      buffer.back() = '\0';
      field.out = buffer.data();
    }
  }
}

bool read_exposure_time_text(const std::string& path, std::string& text) {
  return read_exif_text(path, EXIF_TAG_EXPOSURE_TIME, text, k_exposure_time_chars);
}

bool parse_capture_time(const std::string& text, int64_t& seconds) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(text.c_str(), "%d:%d:%d %d:%d:%d", &year, &month, &day, &hour, &minute,
                  &second) != 6)
    return false;
  // EXIF writes an unknown date as zeros; such files must not all fall into one group.
  if (year == 0 && month == 0 && day == 0) return false;
  if (!fits_int(static_cast<long long>(year) - 1900) ||
      !fits_int(static_cast<long long>(month) - 1))
    return false;
  std::tm tm{};
  tm.tm_sec = second;
  tm.tm_min = minute;
  tm.tm_hour = hour;
  tm.tm_mday = day;
  tm.tm_mon = month - 1;
  tm.tm_year = year - 1900;
  tm.tm_isdst = 0;
  const std::time_t t = std::mktime(&tm);
  if (t == std::time_t(-1)) return false;
  seconds = int64_t(t);
  return true;
}

bool read_capture_time(const std::string& path, int64_t& seconds) {
  std::string text;
  return read_exif_text(path, EXIF_TAG_DATE_TIME_ORIGINAL, text, k_capture_time_chars) &&
         parse_capture_time(text, seconds);
}

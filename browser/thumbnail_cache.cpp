// Thumbnail cache names from Boost's CRC-32 of file samples.
#include "browser/thumbnail_cache.h"

#include <boost/crc.hpp>

#include <exception>
#include <fstream>
#include <vector>

#include "core/image_orient.h"
#include "core/log.h"
#include "core/preferences.h"
#include "core/regular_file.h"

namespace {

// Below this size the middle sample would start before the file.
constexpr int64_t k_full_naming_size = 2 * k_cache_sample_bytes;

}  // namespace

uint32_t crc32_of_chunk(std::istream& in, int64_t offset, int64_t size) {
  if (!in.good()) {
    log_error("NULL input stream");
    return 0;
  }
  try {
    if (size <= 0) return 0;
    std::vector<char> buffer(static_cast<size_t>(size));
    if (offset < 0) {
      in.setstate(std::ios::failbit);
      return 0;
    }
    in.seekg(offset, std::ios::beg);
    in.read(buffer.data(), size);
    boost::crc_32_type crc;
    crc.process_bytes(buffer.data(), static_cast<size_t>(in.gcount()));
    return crc.checksum();
  } catch (const std::exception& e) {
    log_error("Found an exception with '%s'.", e.what());
  } catch (...) {
    log_error("Found an unknown exception.");
  }
  return 0;
}

std::string thumbnail_cache_path(const std::string& image_path, const std::string& folder,
                                 uint32_t orientation) {
  if (folder.empty() || !is_regular_file(image_path)) return {};
  // Names made before tiles were turned upright hold the stored picture: right only for
  // files stored upright, which keep their names.
  const std::string ending =
      orientation_is_normal(orientation) ? ".jpg" : "_o" + std::to_string(orientation) + ".jpg";
  std::ifstream in(image_path, std::ios::binary);
  if (!in) return {};
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  if (end < 0) return {};
  const int64_t size = end;
  in.seekg(0, std::ios::beg);
  if (!in) return {};
  if (size < k_full_naming_size) {
    const uint32_t whole = crc32_of_chunk(in, 0, size);
    if (!in && size > 0) return {};
    return folder + "s" + std::to_string(size) + "_" + std::to_string(whole) + ending;
  }
  // Taken last first, as the established naming did; every seek here is in range.
  const uint32_t last = crc32_of_chunk(in, size - k_cache_sample_bytes, k_cache_sample_bytes);
  const uint32_t middle = crc32_of_chunk(in, size / 2 - k_cache_sample_bytes, k_cache_sample_bytes);
  const uint32_t first = crc32_of_chunk(in, 0, k_cache_sample_bytes);
  if (!in) return {};
  return folder + std::to_string(first) + std::to_string(middle) + std::to_string(last) + ending;
}

std::string thumbnail_cache_path(const std::string& image_path, uint32_t orientation) {
  return thumbnail_cache_path(image_path, user_data_folder(), orientation);
}

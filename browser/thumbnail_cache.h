// Names of cached thumbnails: JPEG files in the user-data folder named after three
// 512-byte samples of the image file's content, so a changed file gets a new name and a
// copied or moved one keeps its thumbnail.
#pragma once
#include <cstdint>
#include <istream>
#include <string>

/// Bytes in each content sample.
constexpr int64_t k_cache_sample_bytes = 512;

/// The CRC-32 (IEEE 802.3, zlib's) of up to size bytes at offset of the stream: of the
/// bytes actually read. A stream already failed gives 0 and "NULL input stream" on
/// standard error; a failed seek (negative offset) gives 0 and leaves the stream failed;
/// an exception gives 0 and its message on standard error.
uint32_t crc32_of_chunk(std::istream& in, int64_t offset, int64_t size);

/// The cache file of an image file, in folder (ending in '/'). For files of 1024 bytes
/// or more: folder + the decimal checksums of the first 512 bytes, the 512 bytes at
/// size / 2 - 512 and the last 512 bytes + ".jpg" (sizes are 64-bit; below 2 GiB this is
/// the established naming, so existing caches stay valid). A shorter file is named
/// folder + "s" + its size + "_" + the checksum of all its bytes + ".jpg", so no two short
/// files share a name through empty or overlapping samples. Empty when the file cannot be
/// opened or measured, or folder is empty: such files are neither read from nor written
/// to the cache. A cache file holds the thumbnail as shown: for a file whose EXIF
/// orientation (1 to 8) is not 1 the name ends in "_o" + orientation before ".jpg", so a
/// thumbnail cached sideways before tiles were turned upright is never read again.
std::string thumbnail_cache_path(const std::string& image_path, const std::string& folder,
                                 uint32_t orientation = 1);

/// The same in the user-data folder of the root store.
std::string thumbnail_cache_path(const std::string& image_path, uint32_t orientation = 1);

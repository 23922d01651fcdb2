// read_exif_segment, cut_ifd_link, insert_exif_segment.
#include "core/exif_segment.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/atomic_write.h"
#include "core/image_errors.h"
#include "core/platform.h"
#include "core/regular_file.h"

namespace {

struct File_closer {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File_ptr = std::unique_ptr<std::FILE, File_closer>;

constexpr uint8_t k_marker = 0xff, k_soi = 0xd8, k_app1 = 0xe1;
constexpr uint64_t k_tiff_start = 10;  // FF E1, length (2), "Exif\0\0"

bool read_exact(std::FILE* f, uint8_t* out, uint64_t n) { return std::fread(out, 1, n, f) == n; }

uint32_t get_u16(const uint8_t* p, bool big_endian) {
  return big_endian ? uint32_t(p[0]) << 8 | p[1] : uint32_t(p[1]) << 8 | p[0];
}

uint32_t get_u32(const uint8_t* p, bool big_endian) {
  return big_endian ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                    : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

}  // namespace

std::vector<uint8_t> read_exif_segment(const std::string& path) {
  File_ptr f(open_regular_file(path));
  if (!f) return {};
  const int64_t size = file_size(f.get());
  uint8_t head[6];
  if (size < 6 || !read_exact(f.get(), head, 6)) return {};
  if (head[0] != k_marker || head[1] != k_soi || head[2] != k_marker || head[3] != k_app1)
    return {};
  const uint64_t length = uint64_t(head[4]) << 8 | head[5];
  // The length counts its own two bytes; anything shorter or running past the end of the
  // file is not a segment.
  if (length < 2 || length - 2 > uint64_t(size - 6)) return {};
  std::vector<uint8_t> block(length + 2);
  std::copy(head + 2, head + 6, block.begin());
  if (!read_exact(f.get(), block.data() + 4, length - 2)) return {};
  return block;
}

void cut_ifd_link(std::vector<uint8_t>& block) {
  const uint64_t size = block.size();
  if (size < k_tiff_start + 8) return;
  const uint8_t* tiff = block.data() + k_tiff_start;
  bool big_endian;
  if (tiff[0] == 'I' && tiff[1] == 'I')
    big_endian = false;
  else if (tiff[0] == 'M' && tiff[1] == 'M')
    big_endian = true;
  else
    return;
  if (get_u16(tiff + 2, big_endian) != 42) return;
  const uint64_t ifd0 = k_tiff_start + uint64_t(get_u32(tiff + 4, big_endian));
  if (ifd0 > size || size - ifd0 < 2) return;
  const uint64_t count = get_u16(block.data() + ifd0, big_endian);
  const uint64_t link = ifd0 + 2 + 12 * count;
  if (link > size || size - link < 4) return;
  std::fill(block.begin() + int64_t(link), block.begin() + int64_t(link + 4), uint8_t(0));
}

bool insert_exif_segment(const std::string& path, const std::vector<uint8_t>& block) {
  if (block.empty()) return false;
  std::vector<uint8_t> old;
  {
    File_ptr f(open_regular_file(path));
    if (!f) return false;
    const int64_t size = file_size(f.get());
    uint8_t head[6];
    if (size < 6 || !read_exact(f.get(), head, 6)) return false;
    if (head[0] != k_marker || head[1] != k_soi || (head[2] == k_marker && head[3] == k_app1))
      return false;
    old.resize(uint64_t(size));
    std::copy(head, head + 6, old.begin());
    if (!read_exact(f.get(), old.data() + 6, uint64_t(size) - 6)) return false;
  }
  std::vector<uint8_t> exif(block);
  cut_ifd_link(exif);

  const std::string error = "Cannot write jpeg image to file: " + path;
  Atomic_file target(path, "Cannot write jpeg image to file: ");
  File_ptr out(std::fopen(target.temp_path().c_str(), "wb"));
  if (!out) throw Write_error(error);
  const bool written = std::fwrite(old.data(), 1, 2, out.get()) == 2 &&
                       std::fwrite(exif.data(), 1, exif.size(), out.get()) == exif.size() &&
                       std::fwrite(old.data() + 2, 1, old.size() - 2, out.get()) == old.size() - 2;
  if (std::fclose(out.release()) != 0 || !written) throw Write_error(error);
  target.commit();
  return true;
}

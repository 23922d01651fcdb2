// read_exif_segment, cut_ifd_link, set_orientation_normal, insert_exif_segment.
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

constexpr uint8_t k_marker = 0xff, k_soi = 0xd8, k_app0 = 0xe0, k_app1 = 0xe1, k_app15 = 0xef;
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

namespace {

// Reads the segment whose marker byte stands at the current position of f (after its FF):
// the block FF marker, length, body. Empty when the length is below 2 or runs past the
// end (size bytes in all, at is the position of the length field).
std::vector<uint8_t> read_segment(std::FILE* f, uint8_t marker, int64_t at, int64_t size) {
  uint8_t len[2];
  if (size - at < 2 || !read_exact(f, len, 2)) return {};
  const uint64_t length = uint64_t(len[0]) << 8 | len[1];
  // The length counts its own two bytes; anything shorter or running past the end of the
  // file is not a segment.
  if (length < 2 || length > uint64_t(size - at)) return {};
  std::vector<uint8_t> block(length + 2);
  block[0] = k_marker, block[1] = marker, block[2] = len[0], block[3] = len[1];
  if (!read_exact(f, block.data() + 4, length - 2)) return {};
  return block;
}

bool is_exif(const std::vector<uint8_t>& block) {
  static constexpr uint8_t k_signature[6] = {'E', 'x', 'i', 'f', 0, 0};
  return block.size() >= 4 + sizeof k_signature &&
         std::equal(k_signature, k_signature + sizeof k_signature, block.begin() + 4);
}

// Where IFD0 starts in the block and its entry count, when the TIFF header and the entry
// table lie inside the block.
bool find_ifd0(const std::vector<uint8_t>& block, bool& big_endian, uint64_t& ifd0,
               uint64_t& count) {
  const uint64_t size = block.size();
  if (size < k_tiff_start + 8) return false;
  const uint8_t* tiff = block.data() + k_tiff_start;
  if (tiff[0] == 'I' && tiff[1] == 'I')
    big_endian = false;
  else if (tiff[0] == 'M' && tiff[1] == 'M')
    big_endian = true;
  else
    return false;
  if (get_u16(tiff + 2, big_endian) != 42) return false;
  ifd0 = k_tiff_start + uint64_t(get_u32(tiff + 4, big_endian));
  if (ifd0 > size || size - ifd0 < 2) return false;
  count = get_u16(block.data() + ifd0, big_endian);
  return size - ifd0 - 2 >= 12 * count;
}

}  // namespace

std::vector<uint8_t> read_exif_segment(const std::string& path) {
  File_ptr f(open_regular_file(path));
  if (!f) return {};
  const int64_t size = file_size(f.get());
  uint8_t head[2];
  if (size < 6 || !read_exact(f.get(), head, 2) || head[0] != k_marker || head[1] != k_soi)
    return {};
  // The EXIF block is looked for among the application segments that lead the file (many
  // cameras and editors put a JFIF segment first); the first other segment ends the search.
  // An APP1 standing first is carried even without the EXIF signature, as always.
  std::vector<uint8_t> first;
  int64_t at = 2;  // read position, just after the start-of-image marker
  for (bool leading = true;; leading = false) {
    uint8_t marker;
    if (at >= size || !read_exact(f.get(), &marker, 1) || marker != k_marker) return first;
    ++at;
    do {  // any number of fill bytes may precede the marker code
      if (at >= size || !read_exact(f.get(), &marker, 1)) return first;
      ++at;
    } while (marker == k_marker);
    if (marker < k_app0 || marker > k_app15) return first;
    std::vector<uint8_t> block = read_segment(f.get(), marker, at, size);
    if (block.empty()) return first;
    at += int64_t(block.size()) - 2;  // the length field and the body
    if (marker == k_app1 && is_exif(block)) return block;
    if (leading && marker == k_app1) first = std::move(block);
  }
}

void cut_ifd_link(std::vector<uint8_t>& block) {
  bool big_endian;
  uint64_t ifd0, count;
  if (!find_ifd0(block, big_endian, ifd0, count)) return;
  const uint64_t link = ifd0 + 2 + 12 * count;
  if (block.size() - link < 4) return;
  std::fill(block.begin() + int64_t(link), block.begin() + int64_t(link + 4), uint8_t(0));
}

void set_orientation_normal(std::vector<uint8_t>& block) {
  bool big_endian;
  uint64_t ifd0, count;
  if (!find_ifd0(block, big_endian, ifd0, count)) return;
  constexpr uint32_t k_orientation = 0x0112, k_short = 3;
  for (uint64_t e = ifd0 + 2, end = e + 12 * count; e < end; e += 12) {
    uint8_t* entry = block.data() + e;
    if (get_u16(entry, big_endian) != k_orientation) continue;
    // A single SHORT sits in the first two bytes of the value field.
    if (get_u16(entry + 2, big_endian) == k_short && get_u32(entry + 4, big_endian) == 1) {
      entry[8] = big_endian ? 0 : 1;
      entry[9] = big_endian ? 1 : 0;
    }
    return;
  }
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

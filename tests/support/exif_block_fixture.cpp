// libexif fixture blocks.
#include "tests/support/exif_block_fixture.h"

#include <libexif/exif-data.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "tests/support/jpeg_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

void add_ascii(ExifData* data, ExifIfd ifd, ExifTag tag, const std::string& text) {
  ExifEntry* entry = exif_entry_new();
  exif_content_add_entry(data->ifd[ifd], entry);
  entry->tag = tag;
  entry->format = EXIF_FORMAT_ASCII;
  entry->components = text.size() + 1;
  entry->size = unsigned(text.size() + 1);
  ExifMem* mem = exif_mem_new_default();
  entry->data = static_cast<unsigned char*>(exif_mem_alloc(mem, entry->size));
  exif_mem_unref(mem);
  std::memcpy(entry->data, text.c_str(), entry->size);
  exif_entry_unref(entry);
}

void add_default(ExifData* data, ExifIfd ifd, ExifTag tag) {
  ExifEntry* entry = exif_entry_new();
  exif_content_add_entry(data->ifd[ifd], entry);
  exif_entry_initialize(entry, tag);
  exif_entry_unref(entry);
}

bool big_endian_block(const std::string& s) { return s.size() > 11 && s[10] == 'M'; }

uint32_t get(const std::string& s, size_t at, int bytes) {
  const bool be = big_endian_block(s);
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) {
    const uint32_t b = uint8_t(s[at + (be ? i : bytes - 1 - i)]);
    v = v << 8 | b;
  }
  return v;
}

}  // namespace

std::string exif_app1_segment(const std::string& make, const std::string& model,
                              const std::string& thumbnail, bool big_endian, int orientation) {
  ExifData* data = exif_data_new();
  const ExifByteOrder order = big_endian ? EXIF_BYTE_ORDER_MOTOROLA : EXIF_BYTE_ORDER_INTEL;
  exif_data_set_byte_order(data, order);
  add_ascii(data, EXIF_IFD_0, EXIF_TAG_MAKE, make);
  add_ascii(data, EXIF_IFD_0, EXIF_TAG_MODEL, model);
  if (orientation != 0) {
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(data->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_set_short(entry->data, order, ExifShort(orientation));
    exif_entry_unref(entry);
  }
  if (!thumbnail.empty()) {
    add_default(data, EXIF_IFD_1, EXIF_TAG_COMPRESSION);
    ExifMem* mem = exif_mem_new_default();
    data->data = static_cast<unsigned char*>(exif_mem_alloc(mem, unsigned(thumbnail.size())));
    exif_mem_unref(mem);
    std::memcpy(data->data, thumbnail.data(), thumbnail.size());
    data->size = unsigned(thumbnail.size());
  }
  unsigned char* bytes = nullptr;
  unsigned int size = 0;
  exif_data_save_data(data, &bytes, &size);
  exif_data_unref(data);
  if (!bytes || size + 2 > 0xffff) throw std::runtime_error("exif_data_save_data failed");
  std::string segment("\xff\xe1", 2);
  segment += char((size + 2) >> 8);
  segment += char((size + 2) & 0xff);
  segment.append(reinterpret_cast<const char*>(bytes), size);
  std::free(bytes);
  return segment;
}

std::string with_leading_segment(const std::string& jpeg, const std::string& segment) {
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

std::string with_segment_after_jfif(const std::string& jpeg, const std::string& segment) {
  if (jpeg.size() < 6 || jpeg.compare(0, 4, "\xff\xd8\xff\xe0") != 0)
    throw std::runtime_error("no JFIF segment first");
  const size_t end = 4 + (size_t(uint8_t(jpeg[4])) << 8 | uint8_t(jpeg[5]));
  return jpeg.substr(0, end) + segment + jpeg.substr(end);
}

std::string write_camera_jpeg(const std::string& path, uint32_t w, uint32_t h, int orientation) {
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i)
    rgb[i] = uint8_t((i / 3 % w + i / 3 / w) * 9 + i % 3 * 60);
  write_jpeg(path, w, h, 3, rgb.data(), 95);
  const std::string jpeg = read_file_bytes(path);
  const std::string segment = exif_app1_segment("Canon", "EOS 5D", jpeg, false, orientation);
  if (!write_file_bytes(path, with_segment_after_jfif(jpeg, segment)))
    throw std::runtime_error("cannot write " + path);
  return segment;
}

int64_t orientation_offset(const std::string& s) {
  if (s.size() < 18) return -1;
  const uint64_t ifd0 = 10 + uint64_t(get(s, 14, 4));
  if (ifd0 + 2 > s.size()) return -1;
  const uint64_t count = get(s, ifd0, 2);
  for (uint64_t e = ifd0 + 2; e + 12 <= s.size() && e < ifd0 + 2 + 12 * count; e += 12)
    if (get(s, e, 2) == 0x0112) return int64_t(e + 8);
  return -1;
}

std::string carried_segment(const std::string& segment) {
  std::string out = segment;
  const int64_t link = ifd1_link_offset(out);
  if (link < 0) throw std::runtime_error("no IFD1 link in block");
  out.replace(size_t(link), 4, 4, '\0');
  const int64_t at = orientation_offset(out);
  if (at < 0) throw std::runtime_error("no Orientation in block");
  const bool be = big_endian_block(out);
  out[size_t(at)] = be ? '\0' : '\1';
  out[size_t(at) + 1] = be ? '\1' : '\0';
  return out;
}

int64_t ifd1_link_offset(const std::string& s) {
  if (s.size() < 18) return -1;
  const uint64_t ifd0 = 10 + uint64_t(get(s, 14, 4));
  if (ifd0 + 2 > s.size()) return -1;
  const uint64_t link = ifd0 + 2 + 12 * uint64_t(get(s, ifd0, 2));
  return link + 4 <= s.size() ? int64_t(link) : -1;
}

uint32_t ifd1_link(const std::string& s) {
  const int64_t at = ifd1_link_offset(s);
  if (at < 0) throw std::runtime_error("no IFD1 link in block");
  return get(s, size_t(at), 4);
}

// libexif fixture blocks.
#include "tests/support/exif_block_fixture.h"

#include <libexif/exif-data.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

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
                              const std::string& thumbnail, bool big_endian) {
  ExifData* data = exif_data_new();
  exif_data_set_byte_order(data, big_endian ? EXIF_BYTE_ORDER_MOTOROLA : EXIF_BYTE_ORDER_INTEL);
  add_ascii(data, EXIF_IFD_0, EXIF_TAG_MAKE, make);
  add_ascii(data, EXIF_IFD_0, EXIF_TAG_MODEL, model);
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

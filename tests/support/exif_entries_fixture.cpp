// libexif blocks with chosen entries.
#include "tests/support/exif_entries_fixture.h"

#include <libexif/exif-data.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

ExifEntry* new_entry(ExifData* data, int ifd, uint16_t tag, ExifFormat format,
                     unsigned components) {
  ExifEntry* entry = exif_entry_new();
  exif_content_add_entry(data->ifd[ifd], entry);
  entry->tag = ExifTag(tag);
  entry->format = format;
  entry->components = components;
  entry->size = unsigned(exif_format_get_size(format)) * components;
  ExifMem* mem = exif_mem_new_default();
  entry->data = static_cast<unsigned char*>(exif_mem_alloc(mem, entry->size));
  exif_mem_unref(mem);
  return entry;
}

}  // namespace

std::string exif_block_with(const std::vector<Exif_test_entry>& entries) {
  ExifData* data = exif_data_new();
  exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
  const ExifByteOrder order = exif_data_get_byte_order(data);
  for (const Exif_test_entry& e : entries) {
    ExifEntry* entry = nullptr;
    switch (e.kind) {
      case Exif_test_entry::ascii:
        entry = new_entry(data, e.ifd, e.tag, EXIF_FORMAT_ASCII, unsigned(e.text.size() + 1));
        std::memcpy(entry->data, e.text.c_str(), e.text.size() + 1);
        break;
      case Exif_test_entry::undefined:
        entry = new_entry(data, e.ifd, e.tag, EXIF_FORMAT_UNDEFINED, unsigned(e.text.size()));
        std::memcpy(entry->data, e.text.data(), e.text.size());
        break;
      case Exif_test_entry::rational:
        entry = new_entry(data, e.ifd, e.tag, EXIF_FORMAT_RATIONAL, 1);
        exif_set_rational(entry->data, order, ExifRational{e.numerator, e.denominator});
        break;
      case Exif_test_entry::short_value:
        entry = new_entry(data, e.ifd, e.tag, EXIF_FORMAT_SHORT, 1);
        exif_set_short(entry->data, order, ExifShort(e.numerator));
        break;
      case Exif_test_entry::signed_rational:
        entry = new_entry(data, e.ifd, e.tag, EXIF_FORMAT_SRATIONAL, 1);
        exif_set_srational(entry->data, order,
                           ExifSRational{int32_t(e.numerator), int32_t(e.denominator)});
        break;
      case Exif_test_entry::long_value:
        entry = new_entry(data, e.ifd, e.tag, EXIF_FORMAT_LONG, 1);
        exif_set_long(entry->data, order, ExifLong(e.numerator));
        break;
      case Exif_test_entry::library_default:
        entry = exif_entry_new();
        exif_content_add_entry(data->ifd[e.ifd], entry);
        exif_entry_initialize(entry, ExifTag(e.tag));
        break;
    }
    exif_entry_unref(entry);
  }
  unsigned char* bytes = nullptr;
  unsigned int size = 0;
  exif_data_save_data(data, &bytes, &size);
  exif_data_unref(data);
  if (!bytes || size + 2 > 0xffff) throw std::runtime_error("exif_data_save_data failed");
  std::string block(reinterpret_cast<const char*>(bytes), size);
  std::free(bytes);
  return block;
}

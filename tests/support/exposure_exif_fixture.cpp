// libexif-built EXIF blocks of exposure fields, in small JPEG files.
#include "tests/support/exposure_exif_fixture.h"

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "tests/support/jpeg_fixture.h"

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

void add_rational(ExifData* data, ExifIfd ifd, ExifTag tag, uint32_t numerator,
                  uint32_t denominator) {
  ExifEntry* entry = exif_entry_new();
  exif_content_add_entry(data->ifd[ifd], entry);
  entry->tag = tag;
  entry->format = EXIF_FORMAT_RATIONAL;
  entry->components = 1;
  entry->size = unsigned(exif_format_get_size(EXIF_FORMAT_RATIONAL));
  ExifMem* mem = exif_mem_new_default();
  entry->data = static_cast<unsigned char*>(exif_mem_alloc(mem, entry->size));
  exif_mem_unref(mem);
  exif_set_rational(entry->data, exif_data_get_byte_order(data),
                    ExifRational{numerator, denominator});
  exif_entry_unref(entry);
}

}  // namespace

std::string exposure_exif_block(const Exposure_exif& fields) {
  ExifData* data = exif_data_new();
  exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
  if (fields.make) add_ascii(data, EXIF_IFD_0, EXIF_TAG_MAKE, *fields.make);
  if (fields.model) add_ascii(data, EXIF_IFD_0, EXIF_TAG_MODEL, *fields.model);
  if (fields.time_numerator)
    add_rational(data, EXIF_IFD_EXIF, EXIF_TAG_EXPOSURE_TIME, *fields.time_numerator,
                 fields.time_denominator);
  if (fields.date_time_original)
    add_ascii(data, EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, *fields.date_time_original);
  unsigned char* bytes = nullptr;
  unsigned int size = 0;
  exif_data_save_data(data, &bytes, &size);
  exif_data_unref(data);
  if (!bytes) throw std::runtime_error("exif_data_save_data failed");
  std::string block(reinterpret_cast<const char*>(bytes), size);
  std::free(bytes);
  return block;
}

void write_exposure_jpeg(const std::string& path, const Exposure_exif& fields, uint8_t grey) {
  const std::vector<uint8_t> pixels(8 * 8 * 3, grey);
  write_jpeg(path, 8, 8, 3, pixels.data(), 95, exposure_exif_block(fields));
}

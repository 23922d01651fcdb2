// exif_orientation, keep_exif_markers, jpeg_orientation.
#include "core/exif_orientation.h"

#include <libexif/exif-data.h>

#include <cstdio>
#include <cstring>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "core/exif_thumbnail.h"

uint32_t exif_orientation(const ExifData* data) {
  if (!data) return 1;
  ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || !entry->data ||
      entry->size < 2)
    return 1;
  const uint32_t code =
      exif_get_short(entry->data, exif_data_get_byte_order(const_cast<ExifData*>(data)));
  return code >= 1 && code <= 8 ? code : 1;
}

void keep_exif_markers(jpeg_decompress_struct& cinfo) {
  // An APP1 body is at most 65533 bytes: it is kept whole.
  jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xffff);
}

uint32_t jpeg_orientation(const jpeg_decompress_struct& cinfo) {
  static constexpr char k_signature[6] = {'E', 'x', 'i', 'f', 0, 0};
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
    if (m->marker != JPEG_APP0 + 1 || !m->data || m->data_length < sizeof k_signature ||
        std::memcmp(m->data, k_signature, sizeof k_signature) != 0)
      continue;
    const Exif_record data(exif_data_new_from_data(m->data, m->data_length));
    return exif_orientation(data.get());
  }
  return 1;
}

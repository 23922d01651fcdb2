// The EXIF Orientation tag of a JPEG: how its stored picture is turned to be shown
// upright. Read with libexif, from a record or from the APP1 markers libjpeg saved.
#pragma once
#include <cstdint>

typedef struct _ExifData ExifData;
struct jpeg_decompress_struct;

/// The Orientation of IFD0 (1 to 8); 1 for a null record, a record without the tag, or
/// a value that is no Orientation code.
uint32_t exif_orientation(const ExifData* data);

/// Asks libjpeg to keep the APP1 markers of a decompressor not yet past jpeg_read_header,
/// for jpeg_orientation.
void keep_exif_markers(jpeg_decompress_struct& cinfo);

/// After jpeg_read_header: the Orientation of the first APP1 marker holding EXIF data
/// ("Exif\0\0"), 1 when there is none. Never calls back into libjpeg.
uint32_t jpeg_orientation(const jpeg_decompress_struct& cinfo);

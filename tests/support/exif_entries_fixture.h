// EXIF blocks with chosen entries in chosen IFDs, built with libexif, for the readers of
// EXIF fields (the image information dialog).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

/// One entry: an ASCII text, undefined bytes, an unsigned or signed rational, a short, a
/// long, or libexif's default value for the tag. ifd is libexif's ExifIfd (0 IFD0, 1 IFD1,
/// 2 EXIF, 3 GPS, 4 Interop).
struct Exif_test_entry {
  enum Kind {
    ascii,
    rational,
    short_value,
    library_default,
    undefined,
    signed_rational,
    long_value
  } kind;
  int ifd;
  uint16_t tag;
  std::string text;          // ascii (stored with its terminator); undefined (the bytes)
  uint32_t numerator = 0;    // rational; short_value and long_value use it as the value
  uint32_t denominator = 1;  // signed_rational takes both as int32_t
};

/// The block as libexif saves it ("Exif\0\0" and the TIFF data): the body of an APP1
/// marker, as write_jpeg's app1 argument takes it. Throws std::runtime_error.
std::string exif_block_with(const std::vector<Exif_test_entry>& entries);

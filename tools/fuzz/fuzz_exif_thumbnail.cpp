// Feeds arbitrary bytes to the embedded-thumbnail path of JPEG tiles: the file's EXIF data
// read by libexif, its thumbnail decoded from memory and fitted; and the bytes themselves
// to the in-memory JPEG decoder.
#include <vector>

#include "core/exif_thumbnail.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz_input_file(data, size, ".jpg");
  Thumbnail_planes planes;
  Exif_record exif;
  if (load_exif_thumbnail(path, planes, exif) &&
      planes.data.size() != size_t(planes.width) * planes.height * 3)
    __builtin_trap();
  std::vector<uint8_t> rgb;
  uint32_t w = 0, h = 0;
  if (decode_jpeg_rgb_memory(data, size, rgb, w, h) && rgb.size() != size_t(w) * h * 3)
    __builtin_trap();
  return 0;
}

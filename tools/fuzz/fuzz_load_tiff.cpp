// Feeds arbitrary bytes to the TIFF path: the header decides the type code (8-bit, float,
// LogLuv, LogL), then the image loads as that type — the way the program opens a .tif.
#include <exception>

#include "core/file_type.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz_input_file(data, size, ".tif");
  try {
    Hdr_image image;
    load_image(image, path, image_type_from_extension(path));
  } catch (const std::exception&) {
  }
  // Every TIFF type is also tried directly, as a tile that knows its type would.
  for (uint32_t type : {5u, 6u, 7u, 8u}) {
    try {
      Hdr_image image;
      load_image(image, path, type);
    } catch (const std::exception&) {
    }
  }
  return 0;
}

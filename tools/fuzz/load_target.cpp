// Feeds arbitrary bytes to the image loader as a file of one type; the build makes one
// target per type from this file (FUZZ_TYPE, FUZZ_EXTENSION).
#include <exception>

#include "core/hdr_image.h"
#include "core/image_load.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz_input_file(data, size, FUZZ_EXTENSION);
  try {
    Hdr_image image;
    load_image(image, path, FUZZ_TYPE);
  } catch (const std::exception&) {
  }
  return 0;
}

// Feeds arbitrary bytes to the JPEG tile's full-load thumbnail, which shrinks the rows as
// the decoder hands them over.
#include "core/hdr_image.h"
#include "core/thumbnail_pixels.h"
#include "tools/fuzz/fuzz_support.h"

#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz_input_file(data, size, ".jpg");
  try {
    uint32_t w = 0, h = 0;
    const Thumbnail_planes t = thumbnail_by_full_load(path, k_type_jpeg, w, h);
    if (!t.empty()) {
      // Touch the whole buffer so a size mismatch shows under the address sanitizer.
      volatile unsigned sum = 0;
      for (uint8_t v : t.data) sum += v;
    }
  } catch (const std::exception&) {
  }
  return 0;
}

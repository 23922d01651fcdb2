// Feeds arbitrary bytes to the thumbnail-cache JPEG decoder.
#include "core/jpeg_thumb.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz_input_file(data, size, ".jpg");
  uint32_t w = 0, h = 0, c = 0;
  Rgb_bytes rgb = read_jpeg_rgb(path, w, h, c);
  if (rgb && w && h) {
    // Touch the whole buffer so a size mismatch shows under the address sanitizer.
    volatile unsigned sum = 0;
    const uint64_t n = uint64_t(w) * h * 3;
    for (uint64_t i = 0; i < n; i += 97) sum += rgb[i];
    sum += rgb[n - 1];
  }
  return 0;
}

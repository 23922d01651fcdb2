// Feeds arbitrary bytes to the four header probes the folder scan runs on every file
// (and to the TIFF header classification), each on a file of its own extension.
#include <exception>

#include "core/header_probe.h"
#include "core/tiff_read.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

template <typename Probe>
void probe(Probe fn, const uint8_t* data, size_t size, const char* extension) {
  const std::string path = fuzz_input_file(data, size, extension);
  uint32_t w = 0, h = 0;
  try {
    fn(path, w, h);
  } catch (const std::exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  probe(read_jpeg_header, data, size, ".jpg");
  probe(read_exr_header, data, size, ".exr");
  probe(read_png_header, data, size, ".png");
  probe(read_rgbe_header, data, size, ".hdr");
  probe(
      [](const std::string& p, uint32_t& w, uint32_t& h) {
        uint32_t type = 0;
        read_tiff_header(p, w, h, type);
      },
      data, size, ".tif");
  return 0;
}

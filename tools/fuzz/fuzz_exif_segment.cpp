// Feeds arbitrary bytes to the EXIF carry-over: the segment read from a file, the IFD1
// link cut and the Orientation set in that block, and the block inserted into a small
// valid JPEG.
#include <exception>
#include <fstream>

#include "core/exif_segment.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

// A minimal JPEG start (SOI, then an APP0 marker) so insert_exif_segment has a target.
const uint8_t k_target[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F',  0,
                            1,    1,    0,    0,    1,    0,    1,   0,   0,   0xFF, 0xD9};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz_input_file(data, size, ".jpg");
  std::vector<uint8_t> block = read_exif_segment(path);
  cut_ifd_link(block);
  set_orientation_normal(block);
  // The raw bytes as a block too: both edits must stay inside any block.
  std::vector<uint8_t> raw(data, data + size);
  cut_ifd_link(raw);
  set_orientation_normal(raw);
  const std::string target = fuzz_input_file(k_target, sizeof k_target, ".target.jpg");
  try {
    insert_exif_segment(target, block.empty() ? raw : block);
  } catch (const std::exception&) {
  }
  return 0;
}

// PNG reader: the image library decodes; the header's size is checked first, since the
// library allocates every row before it reads any.
#include "core/png_read.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"

namespace {

// The size from the IHDR chunk, which the format puts first; false when the file does not
// start with the signature and an IHDR chunk (the library then reports the fault itself).
bool png_declared_size(const std::string& path, uint64_t& width, uint64_t& height) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) return false;
  unsigned char head[24];
  static const unsigned char k_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (std::fread(head, 1, sizeof head, file.get()) != sizeof head ||
      std::memcmp(head, k_signature, 8) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0)
    return false;
  auto be32 = [](const unsigned char* p) {
    return uint64_t(p[0]) << 24 | uint64_t(p[1]) << 16 | uint64_t(p[2]) << 8 | uint64_t(p[3]);
  };
  width = be32(head + 16);
  height = be32(head + 20);
  return true;
}

}  // namespace

void read_png(Hdr_image& image, const std::string& path) {
  uint64_t width = 0, height = 0;
  if (png_declared_size(path, width, height) && !image_size_ok(width, height))
    throw Read_error("Image too large in file: " + path);
  unsigned int bits = 8;
  image.load_png(path.c_str(), &bits);
  // 65535 / 255 = 257 exactly: 16-bit samples land on the 8-bit code's 0-255 range.
  if (bits == 16) image /= 257.f;
}

#include "tests/support/thumbnail_files.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "tests/support/exif_block_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/temp_dir.h"

std::string solid_jpeg(uint32_t w, uint32_t h, uint8_t red, uint8_t green, uint8_t blue,
                       int components) {
  std::vector<uint8_t> pixels(size_t(w) * h * size_t(components));
  for (size_t i = 0; i < size_t(w) * h; ++i) {
    if (components == 1) {
      pixels[i] = red;
      continue;
    }
    pixels[i * 3] = red;
    pixels[i * 3 + 1] = green;
    pixels[i * 3 + 2] = blue;
  }
  Temp_dir dir;
  const std::string path = dir.file("solid.jpg");
  write_jpeg(path, w, h, components, pixels.data());
  return read_file_bytes(path);
}

std::string with_exif_thumbnail(const std::string& main, const std::string& thumbnail) {
  return with_leading_segment(main, exif_app1_segment("Maker", "Model", thumbnail));
}

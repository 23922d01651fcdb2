// The pattern, its stored layouts per EXIF Orientation, and the check of an upright picture.
#include "tests/support/oriented_jpeg.h"

#include <cmath>
#include <stdexcept>
#include <vector>

#include "tests/support/exif_block_fixture.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint32_t k_block = 16;
constexpr uint8_t k_colours[6][3] = {{220, 40, 40},  {40, 200, 40},  {40, 40, 220},
                                     {220, 220, 40}, {40, 200, 200}, {200, 40, 200}};

}  // namespace

void stored_position(int orientation, uint32_t x, uint32_t y, uint32_t sw, uint32_t sh,
                     uint32_t& sx, uint32_t& sy) {
  switch (orientation) {
    case 2:  // row 0 at the top, column 0 on the right
      sx = sw - 1 - x, sy = y;
      return;
    case 3:  // row 0 at the bottom, column 0 on the right
      sx = sw - 1 - x, sy = sh - 1 - y;
      return;
    case 4:  // row 0 at the bottom, column 0 on the left
      sx = x, sy = sh - 1 - y;
      return;
    case 5:  // row 0 on the left, column 0 at the top
      sx = y, sy = x;
      return;
    case 6:  // row 0 on the right, column 0 at the top
      sx = y, sy = sh - 1 - x;
      return;
    case 7:  // row 0 on the right, column 0 at the bottom
      sx = sw - 1 - y, sy = sh - 1 - x;
      return;
    case 8:  // row 0 on the left, column 0 at the bottom
      sx = sw - 1 - y, sy = x;
      return;
    default:
      sx = x, sy = y;
  }
}

std::array<uint8_t, 3> pattern_colour(uint32_t x, uint32_t y, double gain) {
  const uint8_t* c = k_colours[(y / k_block) * 3 + x / k_block];
  std::array<uint8_t, 3> out{};
  for (int i = 0; i < 3; ++i) out[i] = uint8_t(std::min(255.0, std::round(c[i] * gain)));
  return out;
}

void write_oriented_jpeg(const std::string& path, int orientation, bool thumbnail, double gain) {
  const bool swapped = orientation >= 5 && orientation <= 8;
  const uint32_t sw = swapped ? k_pattern_h : k_pattern_w;
  const uint32_t sh = swapped ? k_pattern_w : k_pattern_h;
  std::vector<uint8_t> stored(size_t(sw) * sh * 3);
  for (uint32_t y = 0; y < k_pattern_h; ++y)
    for (uint32_t x = 0; x < k_pattern_w; ++x) {
      uint32_t sx = 0, sy = 0;
      stored_position(orientation, x, y, sw, sh, sx, sy);
      const std::array<uint8_t, 3> c = pattern_colour(x, y, gain);
      for (int i = 0; i < 3; ++i) stored[(size_t(sy) * sw + sx) * 3 + i] = c[i];
    }
  write_jpeg(path, sw, sh, 3, stored.data(), 100);
  const std::string jpeg = read_file_bytes(path);
  const std::string segment =
      exif_app1_segment("Phone", "Portrait", thumbnail ? jpeg : std::string(), false, orientation);
  if (!write_file_bytes(path, with_segment_after_jfif(jpeg, segment)))
    throw std::runtime_error("cannot write " + path);
}

::testing::AssertionResult shows_pattern(uint32_t w, uint32_t h, const Pixel_at& pixel, double gain,
                                         double tol) {
  // The aspect of 48 x 32 up to the fitting's truncation: a sideways picture is 2:3.
  if (w == 0 || h == 0 || std::abs(double(w) / h - 1.5) > 0.05)
    return ::testing::AssertionFailure() << "size " << w << " x " << h << " is not 3:2";
  for (uint32_t by = 0; by < k_pattern_h / k_block; ++by)
    for (uint32_t bx = 0; bx < k_pattern_w / k_block; ++bx) {
      const uint32_t px = bx * k_block + k_block / 2, py = by * k_block + k_block / 2;
      const uint32_t x = uint32_t(uint64_t(px) * w / k_pattern_w);
      const uint32_t y = uint32_t(uint64_t(py) * h / k_pattern_h);
      const std::array<uint8_t, 3> want = pattern_colour(px, py, gain);
      for (int c = 0; c < 3; ++c) {
        const double got = pixel(x, y, c);
        if (std::abs(got - want[c]) > tol)
          return ::testing::AssertionFailure()
                 << "block (" << bx << ", " << by << ") channel " << c << ": " << got
                 << " where the pattern has " << int(want[c]);
      }
    }
  return ::testing::AssertionSuccess();
}

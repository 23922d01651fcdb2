// Radiance RGBE output: the header, the shared-exponent pixel code and the per-component
// run-length encoding of scanlines.
#include "core/rgbe_write.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/atomic_write.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/log.h"

namespace {

constexpr uint32_t k_min_rle_width = 8;       // narrower scanlines are written flat
constexpr uint32_t k_max_rle_width = 0x7fff;  // the width field of a scanline is 15 bits
constexpr uint32_t k_min_run = 4;             // shorter repeats cost more as runs
constexpr uint32_t k_max_run = 127;           // 128 + length must fit in a byte
constexpr uint32_t k_max_literal = 128;

int report_write_error() {
  log_error("RGBE write error: %s", std::strerror(errno));
  return -1;
}

float as_float(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// Encodes n bytes of one component; returns the end of the code in out. Runs of 4 or more
// equal bytes become (128 + length, byte); a repeat of 2 or 3 bytes directly before such a
// run becomes a run pair too; everything else becomes literal blocks (count, bytes).
unsigned char* encode_component(const unsigned char* data, uint32_t n, unsigned char* out) {
  uint32_t cur = 0;
  while (cur < n) {
    uint32_t begin = cur, run = 0, previous = 0;
    while (run < k_min_run && begin < n) {
      begin += run;
      previous = run;
      run = 1;
      while (begin + run < n && run < k_max_run && data[begin] == data[begin + run]) ++run;
    }
    if (previous > 1 && previous == begin - cur) {
      *out++ = static_cast<unsigned char>(128 + previous);
      *out++ = data[cur];
      cur = begin;
    }
    while (cur < begin) {
      const uint32_t count = std::min(begin - cur, k_max_literal);
      *out++ = static_cast<unsigned char>(count);
      std::memcpy(out, data + cur, count);
      out += count;
      cur += count;
    }
    if (run >= k_min_run) {
      *out++ = static_cast<unsigned char>(128 + run);
      *out++ = data[begin];
      cur += run;
    }
  }
  return out;
}

// Worst case of encode_component: every byte literal, one count per 128 bytes.
uint64_t max_component_code(uint32_t n) { return uint64_t(n) + n / k_max_literal + 2; }

}  // namespace

int rgbe_write_header(std::FILE* file, uint32_t width, uint32_t height,
                      const Rgbe_header_info* info) {
  const bool named = info && (info->valid & k_rgbe_valid_programtype);
  // A field filled by hand may lack its terminator: print at most its 15 characters.
  if (std::fprintf(file, "#?%.15s\n", named ? info->programtype : "RGBE") < 0)
    return report_write_error();
  if (info && (info->valid & k_rgbe_valid_gamma) &&
      std::fprintf(file, "GAMMA=%g\n", double(info->gamma)) < 0)
    return report_write_error();
  if (info && (info->valid & k_rgbe_valid_exposure) &&
      std::fprintf(file, "EXPOSURE=%g\n", double(info->exposure)) < 0)
    return report_write_error();
  if (std::fprintf(file, "FORMAT=32-bit_rle_rgbe\n\n") < 0) return report_write_error();
  if (std::fprintf(file, "-Y %u +X %u\n", height, width) < 0) return report_write_error();
  return 0;
}

void float_to_rgbe(float red, float green, float blue, unsigned char rgbe[4]) {
  // "!(x > 0)" catches NaN as well as negatives, before any conversion to an integer.
  if (!(red > 0.f)) red = 0.f;
  if (!(green > 0.f)) green = 0.f;
  if (!(blue > 0.f)) blue = 0.f;
  const float v = std::max(red, std::max(green, blue));
  if (double(v) < 1e-32) {
    rgbe[0] = rgbe[1] = rgbe[2] = rgbe[3] = 0;
    return;
  }
  // v = f * 2^e with f in [0.5, 1). frexp(v) * 256 / v is exactly 2^(8 - e), so the
  // factor is built from the exponent bits directly (v >= 1e-32 is never subnormal).
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  const int e = int((bits >> 23) & 0xff) - 126;
  if (e > 127) {
    // 2^127 and above would need exponent byte 256: saturate at exponent byte 255.
    const float m = as_float(uint32_t(8 - 127 + 127) << 23);
    rgbe[0] = static_cast<unsigned char>(std::min(red * m, 255.f));
    rgbe[1] = static_cast<unsigned char>(std::min(green * m, 255.f));
    rgbe[2] = static_cast<unsigned char>(std::min(blue * m, 255.f));
    rgbe[3] = 255;
    return;
  }
  const float m = as_float(uint32_t(8 - e + 127) << 23);
  rgbe[0] = static_cast<unsigned char>(red * m);
  rgbe[1] = static_cast<unsigned char>(green * m);
  rgbe[2] = static_cast<unsigned char>(blue * m);
  rgbe[3] = static_cast<unsigned char>(e + 128);
}

namespace {

// Pixels come as three channel pointers with a common stride: 3 for interleaved RGB, 1 for
// the planes of an image (which so need no interleaved copy; for 24 megapixels that copy
// alone costs more than the whole encoding).
struct Channels {
  const float *red, *green, *blue;
  uint64_t stride;
};

constexpr size_t k_out_buffer = 1 << 20;  // bytes collected per fwrite

int write_flat(std::FILE* file, Channels in, uint64_t pixel_count) {
  constexpr uint64_t k_chunk = 4096;  // pixels converted per write
  unsigned char buffer[4 * k_chunk];
  for (uint64_t done = 0; done < pixel_count;) {
    const uint64_t n = std::min(k_chunk, pixel_count - done);
    for (uint64_t i = 0; i < n; ++i) {
      const uint64_t at = (done + i) * in.stride;
      float_to_rgbe(in.red[at], in.green[at], in.blue[at], buffer + 4 * i);
    }
    if (std::fwrite(buffer, 4, n, file) != n) return report_write_error();
    done += n;
  }
  return 0;
}

int write_rle(std::FILE* file, Channels in, uint32_t width, uint32_t height) {
  if (width < k_min_rle_width || width > k_max_rle_width)
    return write_flat(file, in, uint64_t(width) * height);
  const uint64_t line_code = 4 + 4 * max_component_code(width);
  const uint64_t out_size = std::max<uint64_t>(k_out_buffer, line_code);
  std::unique_ptr<unsigned char[]> components(new (std::nothrow) unsigned char[4 * width]);
  std::unique_ptr<unsigned char[]> code(new (std::nothrow) unsigned char[out_size]);
  if (!components || !code) return write_flat(file, in, uint64_t(width) * height);

  unsigned char* const red = components.get();
  unsigned char* const green = red + width;
  unsigned char* const blue = green + width;
  unsigned char* const exponent = blue + width;
  unsigned char* out = code.get();
  for (uint32_t y = 0; y < height; ++y) {
    const uint64_t row = uint64_t(y) * width * in.stride;
    for (uint32_t x = 0; x < width; ++x) {
      const uint64_t at = row + x * in.stride;
      unsigned char p[4];
      float_to_rgbe(in.red[at], in.green[at], in.blue[at], p);
      red[x] = p[0];
      green[x] = p[1];
      blue[x] = p[2];
      exponent[x] = p[3];
    }
    if (uint64_t(out - code.get()) + line_code > out_size) {
      const size_t n = size_t(out - code.get());
      if (std::fwrite(code.get(), 1, n, file) != n) return report_write_error();
      out = code.get();
    }
    *out++ = 2;
    *out++ = 2;
    *out++ = static_cast<unsigned char>(width >> 8);
    *out++ = static_cast<unsigned char>(width & 255);
    for (int c = 0; c < 4; ++c) out = encode_component(components.get() + c * width, width, out);
  }
  const size_t n = size_t(out - code.get());
  if (std::fwrite(code.get(), 1, n, file) != n) return report_write_error();
  return 0;
}

Channels interleaved(const float* data) { return {data, data + 1, data + 2, 3}; }

}  // namespace

int rgbe_write_pixels(std::FILE* file, const float* data, uint64_t pixel_count) {
  return write_flat(file, interleaved(data), pixel_count);
}

int rgbe_write_pixels_rle(std::FILE* file, const float* data, uint32_t width, uint32_t height) {
  return write_rle(file, interleaved(data), width, height);
}

void write_rgbe(const Hdr_image& image, const std::string& path) {
  Atomic_file target(path);
  std::FILE* file = std::fopen(target.temp_path().c_str(), "wb");
  if (!file) throw Write_error("Cannot open image file for writing: " + path);
  if (rgbe_write_header(file, image.width(), image.height()) != 0) {
    std::fclose(file);
    throw Write_error("Cannot write rgbe header to file: " + path);
  }
  Channels planes{nullptr, nullptr, nullptr, 1};
  rgb_planes(image, planes.red, planes.green, planes.blue);
  const bool written = write_rle(file, planes, image.width(), image.height()) == 0;
  // A full disk may show only when the last buffer is flushed.
  if (std::fclose(file) != 0 || !written)
    throw Write_error("Cannot write rgbe data to file: " + path);
  target.commit();
}

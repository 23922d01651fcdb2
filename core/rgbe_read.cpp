// Radiance RGBE reader: header lines, the run-length scheme of width-tagged scanlines and
// flat pixels, decoded straight into the three planes.
#include "core/rgbe_read.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/event_pump.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/log.h"
#include "core/regular_file.h"

namespace {

// Widths outside this range cannot carry the run-length marker (15 bits of width).
constexpr uint32_t k_min_rle_width = 8;
constexpr uint32_t k_max_rle_width = 0x7fff;

int format_error(const char* what) {
  log_error("RGBE bad file format: %s", what);
  return -1;
}

int read_error() {
  log_error("RGBE read error: %s", std::strerror(errno));
  return -1;
}

// factor[e] = 2^(e - 136) as float, factor[0] = 0: mantissa * factor is the channel value
// (a zero exponent gives black whatever the mantissas).
struct Exponent_table {
  float factor[256];
  Exponent_table() {
    factor[0] = 0.f;
    for (int e = 1; e < 256; ++e) factor[e] = float(std::ldexp(1.0, e - 136));
  }
};
const Exponent_table& exponent_table() {
  static const Exponent_table table;
  return table;
}

// Reads the file in large blocks; the pixel decoders take bytes from here.
class Byte_reader {
 public:
  explicit Byte_reader(std::FILE* file) : m_file(file), m_buf(k_block) {}

  // Next byte, or -1 at the end of the file or on a read error.
  int get() {
    if (m_pos == m_len && !refill()) return -1;
    return m_buf[m_pos++];
  }
  // Copies n bytes to out; false on a short read.
  bool read(uint8_t* out, size_t n) {
    while (n) {
      if (m_pos == m_len && !refill()) return false;
      const size_t k = std::min(n, m_len - m_pos);
      std::memcpy(out, &m_buf[m_pos], k);
      m_pos += k;
      out += k;
      n -= k;
    }
    return true;
  }

 private:
  static constexpr size_t k_block = 1 << 16;
  bool refill() {
    m_pos = 0;
    m_len = std::fread(m_buf.data(), 1, m_buf.size(), m_file);
    return m_len > 0;
  }
  std::FILE* m_file;
  std::vector<uint8_t> m_buf;
  size_t m_pos = 0, m_len = 0;
};

inline void convert(const uint8_t* p, float* r, float* g, float* b, const float* factor) {
  const float f = factor[p[3]];
  *r = float(p[0]) * f;
  *g = float(p[1]) * f;
  *b = float(p[2]) * f;
}

int read_flat(Byte_reader& in, float* red, float* green, float* blue, uint64_t count) {
  const float* factor = exponent_table().factor;
  constexpr uint64_t k_chunk = 4096;
  uint8_t buf[4 * k_chunk];
  while (count) {
    const uint64_t n = std::min(count, k_chunk);
    if (!in.read(buf, size_t(4 * n))) return read_error();
    for (uint64_t i = 0; i < n; ++i) convert(buf + 4 * i, red++, green++, blue++, factor);
    count -= n;
  }
  return 0;
}

// One header line, whatever its length, with its newline; false at the end of the file
// before any character, or on a read error.
bool read_line(std::FILE* file, std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(file)) != EOF) {
    line.push_back(char(c));
    if (c == '\n') return true;
  }
  return !line.empty() && !std::ferror(file);
}

// Parses "-Y <height> +X <width>"; false for any other form or a value out of range.
bool parse_resolution(const std::string& line, uint32_t& width, uint32_t& height) {
  const char* s = line.c_str();
  auto number = [&s](uint64_t& out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s, &end, 10);
    if (end == s || errno == ERANGE) return false;
    s = end;
    out = v < 0 ? 0 : uint64_t(v);
    return v >= 1;
  };
  auto skip_space = [&s] {
    while (*s == ' ' || *s == '\t' || *s == '\n' || *s == '\r' || *s == '\v' || *s == '\f') ++s;
  };
  auto literal = [&s](const char* text) {
    const size_t n = std::strlen(text);
    if (std::strncmp(s, text, n) != 0) return false;
    s += n;
    return true;
  };
  uint64_t h = 0, w = 0;
  if (!literal("-Y")) return false;
  skip_space();
  if (!number(h)) return false;
  skip_space();
  if (!literal("+X")) return false;
  skip_space();
  if (!number(w)) return false;
  if (!image_size_ok(w, h)) return false;
  width = uint32_t(w);
  height = uint32_t(h);
  return true;
}

}  // namespace

int rgbe_read_header(std::FILE* file, uint32_t& width, uint32_t& height, Rgbe_header_info* info) {
  if (info) *info = Rgbe_header_info{};
  std::string line;
  if (!read_line(file, line)) return read_error();
  if (info && line.size() >= 2 && line[0] == '#' && line[1] == '?') {
    size_t i = 2;
    size_t n = 0;
    while (i < line.size() && n < sizeof(info->programtype) - 1 &&
           !std::isspace(static_cast<unsigned char>(line[i])))
      info->programtype[n++] = line[i++];
    info->programtype[n] = '\0';
    info->valid |= k_rgbe_valid_programtype;
    if (!read_line(file, line)) return read_error();
  }
  // Header lines up to the blank one; only GAMMA and EXPOSURE mean anything here.
  while (line[0] != '\n' && line[0] != '\0') {
    if (info) {
      float v;
      if (std::sscanf(line.c_str(), "GAMMA=%g", &v) == 1) {
        info->gamma = v;
        info->valid |= k_rgbe_valid_gamma;
      } else if (std::sscanf(line.c_str(), "EXPOSURE=%g", &v) == 1) {
        info->exposure = v;
        info->valid |= k_rgbe_valid_exposure;
      }
    }
    if (!read_line(file, line)) return read_error();
  }
  if (!read_line(file, line)) return read_error();
  if (!parse_resolution(line, width, height)) return format_error("missing image size specifier");
  return 0;
}

int rgbe_read_pixels(std::FILE* file, float* red, float* green, float* blue, uint64_t count) {
  Byte_reader in(file);
  return read_flat(in, red, green, blue, count);
}

int rgbe_read_pixels_rle(std::FILE* file, float* red, float* green, float* blue, uint32_t width,
                         uint32_t height) {
  Byte_reader in(file);
  const uint64_t total = uint64_t(width) * height;
  if (width < k_min_rle_width || width > k_max_rle_width)
    return read_flat(in, red, green, blue, total);

  const float* factor = exponent_table().factor;
  std::unique_ptr<uint8_t[]> scanline;
  for (uint32_t y = 0; y < height; ++y) {
    pump_events();
    const uint64_t at = uint64_t(y) * width;
    uint8_t head[4];
    if (!in.read(head, 4)) return read_error();
    if (head[0] != 2 || head[1] != 2 || (head[2] & 0x80)) {
      // Not run-length encoded: these four bytes are a pixel, the rest follows flat.
      convert(head, red + at, green + at, blue + at, factor);
      return read_flat(in, red + at + 1, green + at + 1, blue + at + 1, total - at - 1);
    }
    if ((uint32_t(head[2]) << 8 | head[3]) != width) return format_error("wrong scanline width");
    if (!scanline) {
      scanline.reset(new (std::nothrow) uint8_t[4 * size_t(width)]);
      if (!scanline) {
        log_error("RGBE error: %s", "unable to allocate buffer space");
        return -1;
      }
    }
    // All red bytes, then green, blue and exponents, each as runs and literal stretches.
    for (int c = 0; c < 4; ++c) {
      uint8_t* p = scanline.get() + size_t(c) * width;
      uint8_t* const end = p + width;
      while (p < end) {
        const int count = in.get();
        const int value = in.get();
        if (count < 0 || value < 0) return read_error();
        if (count > 128) {
          const int run = count - 128;
          if (run > end - p) return format_error("bad scanline data");
          std::memset(p, value, size_t(run));
          p += run;
        } else {
          if (count == 0 || count > end - p) return format_error("bad scanline data");
          *p++ = uint8_t(value);
          if (count > 1 && !in.read(p, size_t(count - 1))) return read_error();
          p += count - 1;
        }
      }
    }
    const uint8_t* r = scanline.get();
    const uint8_t* g = r + width;
    const uint8_t* b = g + width;
    const uint8_t* e = b + width;
    for (uint32_t x = 0; x < width; ++x) {
      const float f = factor[e[x]];
      red[at + x] = float(r[x]) * f;
      green[at + x] = float(g[x]) * f;
      blue[at + x] = float(b[x]) * f;
    }
  }
  return 0;
}

void read_rgbe(Hdr_image& image, const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(open_regular_file(path), &std::fclose);
  if (!file) throw Read_error("Cannot load rgbe image from file: " + path);
  uint32_t width = 0, height = 0;
  if (rgbe_read_header(file.get(), width, height, nullptr) != 0)
    throw Read_error("Cannot read rgbe header from file: " + path);
  image.assign(width, height, 1, 3);
  float *r, *g, *b;
  rgb_planes(image, r, g, b);
  if (rgbe_read_pixels_rle(file.get(), r, g, b, width, height) != 0) {
    image.assign();
    throw Read_error("Cannot read rgbe pixels from file: " + path);
  }
}

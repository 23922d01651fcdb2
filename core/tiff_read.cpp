// TIFF reader on libtiff. Pixels are read with bounds-checked scanline or tile reads (or
// libtiff's RGBA reader for palette, CMYK, YCbCr and sub-byte kinds), straight into planes.
#include "core/tiff_read.h"

#include <Imath/half.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "core/color_xyz.h"
#include "core/float_planes.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/regular_file.h"

namespace {

// A scanline or tile buffer above this size is refused: no sound file needs one, and a
// hostile header must not size the allocation.
constexpr uint64_t k_max_chunk_bytes = 1ull << 28;

// SGILOG (32-bit) and SGILOG24 (24-bit) compression codes.
constexpr uint16_t k_sgilog = 34676;
constexpr uint16_t k_sgilog24 = 34677;

struct Tiff_closer {
  void operator()(TIFF* t) const { TIFFClose(t); }
};
using Tiff_ptr = std::unique_ptr<TIFF, Tiff_closer>;

Tiff_ptr open_tiff(const std::string& path) {
  // An opened TIFF owns the descriptor and closes it; a failed open leaves it to us.
  const int fd = open_regular_fd(path);
  Tiff_ptr tif(fd < 0 ? nullptr : TIFFFdOpen(fd, path.c_str(), "r"));
  if (!tif) {
    if (fd >= 0) close(fd);
    throw Read_error("Cannot open TIFF file: " + path);
  }
  return tif;
}

uint16_t photometric_of(TIFF* tif, const std::string& path) {
  uint16_t photometric = 0;
  if (!TIFFGetFieldDefaulted(tif, TIFFTAG_PHOTOMETRIC, &photometric))
    throw Read_error("TIFF has unspecified photometric type: " + path);
  return photometric;
}

uint16_t compression_of(TIFF* tif) {
  uint16_t compression = COMPRESSION_NONE;
  if (!TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression)) compression = COMPRESSION_NONE;
  return compression;
}

bool is_sgilog(uint16_t compression) {
  return compression == k_sgilog || compression == k_sgilog24;
}

[[noreturn]] void data_error(const std::string& path) {
  throw Read_error("Cannot read TIFF data from file: " + path);
}

// Chunk buffer of n bytes, refused when n is 0 or absurd.
std::unique_ptr<uint8_t[]> chunk_buffer(uint64_t n, const std::string& path) {
  if (n == 0 || n > k_max_chunk_bytes) data_error(path);
  std::unique_ptr<uint8_t[]> buf(new (std::nothrow) uint8_t[size_t(n)]);
  if (!buf) data_error(path);
  return buf;
}

// Converts count pixels of samples of type S, stride samples apart, into channels planes
// of type T (out[c][x] = sample c of pixel x), clamped to the loaded value range (byte
// planes: loaded_sample of that value). The channel count is a template argument so the
// inner loop has no channel loop of its own.
template <typename S, typename T, uint32_t channels>
void to_planes(const uint8_t* src, uint64_t count, uint32_t stride, T* const* out) {
  const size_t step = size_t(stride) * sizeof(S);
  for (uint64_t x = 0; x < count; ++x, src += step)
    for (uint32_t c = 0; c < channels; ++c) {
      S v;
      std::memcpy(&v, src + c * sizeof(S), sizeof(S));
      if constexpr (std::is_same<S, uint8_t>::value && std::is_same<T, uint8_t>::value)
        out[c][x] = v;
      else  // Unsigned samples are always in range.
        out[c][x] =
            loaded_sample<T>(std::is_unsigned<S>::value ? float(v) : clamp_loaded_value(float(v)));
    }
}

template <typename S, typename T>
void samples_to_planes(const uint8_t* src, uint64_t count, uint32_t stride, uint32_t channels,
                       T* const* out) {
  // The common HDR layout (float RGB, no extra samples) has a vectorised split.
  if constexpr (std::is_same<S, float>::value && std::is_same<T, float>::value) {
    if (channels == 3 && stride == 3 && reinterpret_cast<uintptr_t>(src) % alignof(float) == 0) {
      split_rgb_clamped(reinterpret_cast<const float*>(src), count, out[0], out[1], out[2]);
      return;
    }
  }
  if (channels == 3)
    to_planes<S, T, 3>(src, count, stride, out);
  else
    to_planes<S, T, 1>(src, count, stride, out);
}

template <typename T>
using Convert_fn = void (*)(const uint8_t*, uint64_t, uint32_t, uint32_t, T* const*);

template <typename T>
Convert_fn<T> converter(uint16_t bits, uint16_t format) {
  switch (format) {
    case SAMPLEFORMAT_UINT:
      if (bits == 8) return samples_to_planes<uint8_t, T>;
      if (bits == 16) return samples_to_planes<uint16_t, T>;
      if (bits == 32) return samples_to_planes<uint32_t, T>;
      break;
    case SAMPLEFORMAT_INT:
      if (bits == 8) return samples_to_planes<int8_t, T>;
      if (bits == 16) return samples_to_planes<int16_t, T>;
      if (bits == 32) return samples_to_planes<int32_t, T>;
      break;
    case SAMPLEFORMAT_IEEEFP:
      if (bits == 16) return samples_to_planes<half, T>;
      if (bits == 32) return samples_to_planes<float, T>;
      if (bits == 64) return samples_to_planes<double, T>;
      break;
  }
  return nullptr;
}

struct Layout {
  uint32_t width = 0, height = 0;
  uint16_t samples = 1, bits = 8, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
  uint32_t keep = 1;   // channels delivered: 1 for grey (with or without alpha), else 3
  uint32_t first = 0;  // sample of each pixel that becomes the first channel
};

// Whole-byte samples read as they are stored, scanline by scanline or tile by tile.
template <typename T>
void read_samples(TIFF* tif, const Layout& l, cimg_library::CImg<T>& image,
                  const std::string& path) {
  const Convert_fn<T> convert = converter<T>(l.bits, l.format);
  if (!convert) data_error(path);
  const uint32_t bytes = l.bits / 8;
  const bool separate = l.planar == PLANARCONFIG_SEPARATE && l.samples > 1;
  const uint32_t per_pixel = separate ? 1 : l.samples;  // samples per pixel in one chunk
  const uint64_t plane = uint64_t(l.width) * l.height;
  T* const data = image.data();

  if (TIFFIsTiled(tif)) {
    uint32_t tw = 0, th = 0;
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &th) ||
        tw == 0 || th == 0)
      data_error(path);
    const uint64_t tile_bytes = uint64_t(tw) * th * per_pixel * bytes;
    if (tile_bytes > k_max_chunk_bytes || uint64_t(TIFFTileSize64(tif)) != tile_bytes)
      data_error(path);
    std::unique_ptr<uint8_t[]> buf = chunk_buffer(tile_bytes, path);
    // Separate planes: one pass per channel kept; contiguous tiles hold every channel.
    const uint32_t passes = separate ? l.keep : 1;
    for (uint32_t pass = 0; pass < passes; ++pass)
      for (uint32_t ty = 0; ty < l.height; ty += th)
        for (uint32_t tx = 0; tx < l.width; tx += tw) {
          if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, tx, ty, 0, uint16_t(l.first + pass)),
                                  buf.get(), tmsize_t(tile_bytes)) < 0)
            data_error(path);
          const uint32_t cols = std::min(tw, l.width - tx);
          const uint32_t rows = std::min(th, l.height - ty);
          const uint32_t first = separate ? pass : 0;
          const uint32_t channels = separate ? 1 : l.keep;
          const uint64_t skip = separate ? 0 : uint64_t(l.first) * bytes;
          for (uint32_t y = 0; y < rows; ++y) {
            const uint64_t at = uint64_t(ty + y) * l.width + tx;
            T* out[3];
            for (uint32_t c = 0; c < channels; ++c) out[c] = data + (first + c) * plane + at;
            convert(buf.get() + uint64_t(y) * tw * per_pixel * bytes + skip, cols, per_pixel,
                    channels, out);
          }
        }
    return;
  }

  const uint64_t line_bytes = uint64_t(l.width) * per_pixel * bytes;
  if (uint64_t(TIFFScanlineSize64(tif)) != line_bytes) data_error(path);
  std::unique_ptr<uint8_t[]> buf = chunk_buffer(line_bytes, path);
  if (separate) {
    for (uint32_t c = 0; c < l.keep; ++c)
      for (uint32_t y = 0; y < l.height; ++y) {
        if (TIFFReadScanline(tif, buf.get(), y, uint16_t(l.first + c)) < 0) data_error(path);
        T* out[1] = {data + c * plane + uint64_t(y) * l.width};
        convert(buf.get(), l.width, 1, 1, out);
      }
    return;
  }
  for (uint32_t y = 0; y < l.height; ++y) {
    if (TIFFReadScanline(tif, buf.get(), y, 0) < 0) data_error(path);
    const uint64_t at = uint64_t(y) * l.width;
    T* out[3];
    for (uint32_t c = 0; c < l.keep; ++c) out[c] = data + c * plane + at;
    convert(buf.get() + uint64_t(l.first) * bytes, l.width, per_pixel, l.keep, out);
  }
}

// libtiff's RGBA reader into width x height packed pixels.
std::unique_ptr<uint32_t[]> read_raster(TIFF* tif, const Layout& l, const std::string& path) {
  char message[1024];
  if (!TIFFRGBAImageOK(tif, message)) data_error(path);
  const uint64_t n = uint64_t(l.width) * l.height;
  std::unique_ptr<uint32_t[]> raster(new (std::nothrow) uint32_t[size_t(n)]);
  if (!raster) data_error(path);
  // Stop at the first bad strip: a failure must be reported, not shown as black rows.
  if (!TIFFReadRGBAImageOriented(tif, l.width, l.height, raster.get(), ORIENTATION_TOPLEFT, 1))
    data_error(path);
  return raster;
}

// The kinds whose values only make sense through libtiff's colour conversion.
bool needs_rgba_reader(const Layout& l, uint16_t photometric) {
  return l.bits < 8 ||
         (photometric >= PHOTOMETRIC_PALETTE && l.format == SAMPLEFORMAT_UINT && l.bits == 8);
}

// libtiff's RGBA reader: palette, CMYK, YCbCr and sub-byte kinds as 8-bit R, G, B.
template <typename T>
void read_rgba(TIFF* tif, const Layout& l, cimg_library::CImg<T>& image, const std::string& path) {
  const uint64_t n = uint64_t(l.width) * l.height;
  const std::unique_ptr<uint32_t[]> raster = read_raster(tif, l, path);
  image.assign(l.width, l.height, 1, 3);
  T* r = image.data();
  T* g = r + n;
  T* b = g + n;
  for (uint64_t i = 0; i < n; ++i) {
    const uint32_t p = raster[i];
    r[i] = T(TIFFGetR(p));
    g[i] = T(TIFFGetG(p));
    b[i] = T(TIFFGetB(p));
  }
}

}  // namespace

void read_tiff_header(const std::string& path, uint32_t& width, uint32_t& height, uint32_t& type) {
  Tiff_ptr tif = open_tiff(path);
  uint32_t w = 0, h = 0;
  if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w) ||
      !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h))
    throw Read_error("Cannot get resolution of TIFF file: " + path);
  uint16_t bits = 1;
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  const uint16_t compression = compression_of(tif.get());
  const uint16_t photometric = photometric_of(tif.get(), path);
  if (photometric == PHOTOMETRIC_LOGLUV) {
    if (!is_sgilog(compression))
      throw Read_error("Only support SGILOG compressed LogLuv data: " + path);
    type = k_type_tiff_logluv;
  } else if (photometric == PHOTOMETRIC_LOGL) {
    if (!is_sgilog(compression))
      throw Read_error("Only support SGILOG compressed LogL data: " + path);
    type = k_type_tiff_logl;
  } else {
    type = bits < 9 ? k_type_tiff8 : k_type_tiff_float;
  }
  width = w;
  height = h;
}

namespace {

// Image: Hdr_image, or Rgb8_image for byte planes.
template <typename Image>
void read_planes(Image& image, const std::string& path) {
  using T = typename Image::value_type;
  Tiff_ptr tif = open_tiff(path);
  TIFF* t = tif.get();
  Layout l;
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l.planar);
  TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bits);
  const uint16_t compression = compression_of(t);
  const uint16_t photometric = photometric_of(t, path);
  const bool sgilog = photometric == PHOTOMETRIC_LOGL || photometric == PHOTOMETRIC_LOGLUV;
  if (sgilog) {
    if (!is_sgilog(compression))
      throw Read_error("Only support SGILOG compressed LogLuv data: " + path);
    // LogLuv turns into RGB in float: byte planes take the float result, rounded.
    if constexpr (!std::is_same<T, float>::value) {
      tif.reset();
      Hdr_image values;
      read_planes(values, path);
      image.assign(values.width(), values.height(), 1, values.spectrum());
      const uint64_t n = values.size();
      for (uint64_t i = 0; i < n; ++i) image[i] = loaded_sample<T>(values[i]);
      return;
    }
    // The codec then delivers 32-bit floats (XYZ, or Y alone).
    if (!TIFFSetField(t, TIFFTAG_SGILOGDATAFMT, SGILOGDATAFMT_FLOAT)) data_error(path);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bits);
  }
  if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &l.width) ||
      !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &l.height) || !image_size_ok(l.width, l.height))
    data_error(path);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &l.format);
  if (l.samples == 0) data_error(path);
  l.keep = l.samples < 3 ? 1 : 3;

  const bool rgba = !sgilog && needs_rgba_reader(l, photometric);
  try {
    if (rgba) {
      read_rgba(t, l, image, path);
    } else {
      image.assign(l.width, l.height, 1, l.keep);
      read_samples(t, l, image, path);
      if constexpr (std::is_same<Image, Hdr_image>::value)
        if (photometric == PHOTOMETRIC_LOGLUV && l.keep == 3) xyz_to_rgb(image);
    }
  } catch (const Read_error&) {
    image.assign();
    throw;
  } catch (const std::exception&) {
    // Allocation failures of the planes.
    image.assign();
    data_error(path);
  }
}

}  // namespace

void read_tiff(Hdr_image& image, const std::string& path) { read_planes(image, path); }

void read_tiff(Rgb8_image& image, const std::string& path) { read_planes(image, path); }

Tiff_extras read_tiff_extras(const std::string& path) {
  Tiff_ptr tif = open_tiff(path);
  TIFF* t = tif.get();
  Layout l;
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l.planar);
  TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bits);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &l.format);
  Tiff_extras extras;
  extras.bits = l.bits;
  extras.format = l.format;
  const uint16_t photometric = photometric_of(t, path);
  if (photometric == PHOTOMETRIC_LOGL || photometric == PHOTOMETRIC_LOGLUV) return extras;
  // Only a sample declared as alpha counts; the first extra sample is the one viewers use.
  uint16_t extra = 0;
  uint16_t* kinds = nullptr;
  if (!TIFFGetField(t, TIFFTAG_EXTRASAMPLES, &extra, &kinds) || extra == 0 || extra > l.samples ||
      !kinds || (kinds[0] != EXTRASAMPLE_ASSOCALPHA && kinds[0] != EXTRASAMPLE_UNASSALPHA))
    return extras;
  if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &l.width) ||
      !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &l.height) || !image_size_ok(l.width, l.height))
    data_error(path);
  const uint64_t n = uint64_t(l.width) * l.height;
  if (needs_rgba_reader(l, photometric)) {
    const std::unique_ptr<uint32_t[]> raster = read_raster(t, l, path);
    for (uint64_t i = 0; i < n && !extras.transparent; ++i)
      extras.transparent = TIFFGetA(raster[i]) != 255;
    return extras;
  }
  // Full opacity: the largest value of an integer sample, 1 for a floating-point one.
  float opaque = 1.f;
  if (l.format == SAMPLEFORMAT_UINT && l.bits <= 32)
    opaque = float((uint64_t(1) << l.bits) - 1);
  else if (l.format == SAMPLEFORMAT_INT && l.bits >= 1 && l.bits <= 32)
    opaque = float((uint64_t(1) << (l.bits - 1)) - 1);
  l.first = l.samples - extra;
  l.keep = 1;
  Hdr_image alpha;
  try {
    alpha.assign(l.width, l.height, 1, 1);
  } catch (const std::exception&) {
    data_error(path);
  }
  read_samples(t, l, alpha, path);
  const float* a = alpha.data();
  for (uint64_t i = 0; i < n && !extras.transparent; ++i) extras.transparent = !(a[i] >= opaque);
  return extras;
}

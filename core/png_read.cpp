// PNG reader on libpng. The image library's PNG loader leaks its row buffers and info
// structure whenever libpng reports an error (every corrupt or truncated file), so the
// file is decoded here with the same result: grey, grey+alpha, RGB or RGBA planes, palette
// expanded to RGB, transparency to alpha, 16-bit samples scaled to 0-255.
#include "core/png_read.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/regular_file.h"

namespace {

// What the decoding steps need, kept outside the function that calls setjmp so that a
// longjmp skips no destructor and clobbers no local. T: the sample type of the planes.
template <typename T>
struct Png_job {
  std::FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  cimg_library::CImg<T>* image = nullptr;
  bool too_large = false;
  bool stop_without_alpha = false;  // stop once the layout shows no alpha channel
  int channels = 0, bits = 0;
  std::vector<png_byte> pixels;  // one row, or every row of an interlaced file
  std::vector<png_bytep> rows;
  char message[256] = {};
};

template <typename T>
void on_error(png_structp png, png_const_charp text) {
  auto* job = static_cast<Png_job<T>*>(png_get_error_ptr(png));
  std::snprintf(job->message, sizeof job->message, "%s", text ? text : "");
  png_longjmp(png, 1);
}
void on_warning(png_structp, png_const_charp) {}

// Row y of the decoded samples (channels per pixel, 8 or 16 bits) into the planes.
template <typename T>
void row_to_planes(const png_byte* src, uint32_t y, int channels, int bits,
                   cimg_library::CImg<T>& image) {
  const uint64_t w = uint64_t(image.width());
  const uint64_t plane = w * uint64_t(image.height());
  T* out = image.data() + uint64_t(y) * w;
  for (uint64_t x = 0; x < w; ++x)
    for (int c = 0; c < channels; ++c) {
      const uint64_t at = x * channels + c;
      // 65535 / 255 = 257 exactly: 16-bit samples land on the 8-bit range 0-255.
      out[x + c * plane] =
          bits == 16 ? loaded_sample<T>(float((src[2 * at] << 8) | src[2 * at + 1]) / 257.f)
                     : T(src[at]);
    }
}

// Returns false after a libpng error (job.message holds it).
template <typename T>
bool decode(Png_job<T>* job) {
  if (setjmp(png_jmpbuf(job->png))) return false;
  png_init_io(job->png, job->file);
  png_read_info(job->png, job->info);
  const png_uint_32 width = png_get_image_width(job->png, job->info);
  const png_uint_32 height = png_get_image_height(job->png, job->info);
  if (!image_size_ok(width, height)) {
    job->too_large = true;
    return false;
  }
  const int type = png_get_color_type(job->png, job->info);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(job->png);
  if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(job->png, job->info) < 8)
    png_set_expand_gray_1_2_4_to_8(job->png);
  if (png_get_valid(job->png, job->info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(job->png);
  const int passes = png_set_interlace_handling(job->png);
  png_read_update_info(job->png, job->info);

  const int channels = png_get_channels(job->png, job->info);
  const int bits = png_get_bit_depth(job->png, job->info);
  if (channels < 1 || channels > 4 || (bits != 8 && bits != 16)) png_error(job->png, "bad layout");
  const size_t row_bytes = png_get_rowbytes(job->png, job->info);
  if (row_bytes != size_t(width) * channels * (bits / 8)) png_error(job->png, "bad row size");
  job->channels = channels;
  job->bits = bits;
  if (job->stop_without_alpha && channels != 2 && channels != 4) return true;
  job->image->assign(width, height, 1, channels);
  if (passes == 1) {
    job->pixels.resize(row_bytes);
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(job->png, job->pixels.data(), nullptr);
      row_to_planes(job->pixels.data(), y, channels, bits, *job->image);
    }
  } else {
    job->pixels.resize(row_bytes * height);
    job->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) job->rows[y] = &job->pixels[row_bytes * y];
    png_read_image(job->png, job->rows.data());
    for (png_uint_32 y = 0; y < height; ++y)
      row_to_planes(job->rows[y], y, channels, bits, *job->image);
  }
  png_read_end(job->png, nullptr);
  return true;
}

// Runs the decode on the file (the layout alone when job.stop_without_alpha finds no alpha); throws
// as read_png.
template <typename T>
void run(Png_job<T>& job, cimg_library::CImg<T>& image, const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(open_regular_file(path), &std::fclose);
  if (!file) throw Read_error("Cannot open PNG file: " + path);
  job.file = file.get();
  job.image = &image;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, on_error<T>, on_warning);
  if (job.png) job.info = png_create_info_struct(job.png);
  bool ok = false;
  try {
    ok = job.info && decode(&job);
  } catch (...) {
    // Allocation failure of the planes or the row buffer.
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    image.assign();
    throw;
  }
  png_destroy_read_struct(&job.png, &job.info, nullptr);
  if (ok) return;
  image.assign();
  if (job.too_large) throw Read_error("Image too large in file: " + path);
  throw Read_error("Cannot read PNG data from file: " + path);
}

}  // namespace

void read_png(Hdr_image& image, const std::string& path) {
  Png_job<float> job;
  run<float>(job, image, path);
}

void read_png(Rgb8_image& image, const std::string& path) {
  Png_job<unsigned char> job;
  run<unsigned char>(job, image, path);
}

Png_extras read_png_extras(const std::string& path) {
  Png_job<float> job;
  job.stop_without_alpha = true;
  Hdr_image image;
  run<float>(job, image, path);
  Png_extras extras;
  extras.bits = job.bits;
  // Grey+alpha and RGBA, also a transparency chunk turned into alpha: decoded in that one pass.
  if (job.channels == 2 || job.channels == 4) {
    const uint64_t n = image.plane_size();
    const float* alpha = image.data() + uint64_t(image.spectrum() - 1) * n;
    for (uint64_t i = 0; i < n && !extras.transparent; ++i)
      extras.transparent = !(alpha[i] >= 255.f);
  }
  return extras;
}

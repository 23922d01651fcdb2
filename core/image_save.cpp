// save_image and its wrappers: copy or clamp, then dispatch to the format writers.
#include "core/image_save.h"

#include <cstdio>
#include <exception>
#include <limits>
#include <vector>

#include "core/atomic_write.h"
#include "core/exif_segment.h"
#include "core/file_copy.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_formats.h"
#include "core/jpeg_write.h"
#include "core/png_write.h"

namespace {

constexpr int k_jpeg_quality = 100;

// PNG through libpng, JPEG through libjpeg (the image library's writers leak or end the
// process on a library error), into an open temporary file.
void write_8bit(const Hdr_image& image, const std::string& path, uint32_t type,
                const std::string& exif_source, bool carry_exif) {
  // The target is checked first (a named pipe there must not be opened for the EXIF).
  Atomic_file target(path);
  std::vector<uint8_t> exif;
  if (carry_exif) exif = read_exif_segment(exif_source);  // before path is replaced
  // The pixels are written as shown (loaded upright, perhaps turned since): a reader that
  // honours the tag would turn them again.
  set_orientation_normal(exif);
  std::FILE* file = std::fopen(target.temp_path().c_str(), "wb");
  if (!file) throw Write_error("Cannot open image file for writing: " + path);
  try {
    if (type == k_type_png)
      write_png_image(image, file, path);
    else
      write_jpeg_image(image, file, path, k_jpeg_quality);
  } catch (...) {
    std::fclose(file);
    throw;
  }
  if (std::fclose(file) != 0) throw Write_error("Cannot write image data to file: " + path);
  if (!exif.empty()) insert_exif_segment(target.temp_path(), exif);
  target.commit();
}

}  // namespace

void write_png_file(const Hdr_image& image, const std::string& path, const Write_source& source) {
  write_8bit(image, path, k_type_png, source.path, false);
}

void write_jpeg_file(const Hdr_image& image, const std::string& path, const Write_source& source) {
  write_8bit(image, path, k_type_jpeg, source.path, source.type == k_type_jpeg);
}

void clamp_values(Hdr_image& image, float lo, float hi) {
  float* v = image.data();
  for (uint64_t i = 0, n = image.size(); i < n; ++i)
    v[i] = v[i] < lo ? lo : (v[i] > hi ? hi : v[i]);  // NaN fails both tests and stays
}

void save_image(Hdr_image& image, const std::string& path, uint32_t type,
                const std::string& source_path, uint32_t source_type, bool force) {
  if (!force && type == source_type) {
    copy_file(path, source_path);
    image.type = type;
    return;
  }
  const Image_format* format = image_format(type);
  // LogL is read only and the "new image" codes name no format: writing nothing would
  // let the caller believe the file was saved.
  if (!format || !format->write) throw Write_error("Unsupported image type for writing: " + path);
  if (image.is_empty() || image.spectrum() != 3)
    throw Write_error("Cannot write image data to file: " + path);

  clamp_values(image, 0.f, format->hdr ? std::numeric_limits<float>::max() : 255.f);
  try {
    format->write(image, path, Write_source{source_path, source_type});
  } catch (const Write_error&) {
    throw;
  } catch (const std::exception& e) {
    // A library's own text (or an allocation's) seldom says which file failed.
    throw Write_error(text_naming(
        e.what(), path, "Cannot write image data to file: " + path + " (" + e.what() + ")"));
  }
  image.type = type;
}

void save_image_own_type(Hdr_image& image, const std::string& path) {
  save_image(image, path, image.type, path, image.type, true);
}

void save_image_as(Hdr_image& image, const std::string& path, uint32_t type) {
  save_image(image, path, type, path, image.type, true);
}

void save_image_from(Hdr_image& image, const std::string& path, uint32_t type,
                     const std::string& source_path) {
  save_image(image, path, type, source_path, image.type, true);
}

// The loading dispatcher and what every load ends with: three channels, clamped values,
// the type code; the same into byte planes. Also the path constructors of Hdr_image.
#include "core/image_load.h"

#include <cstring>

#include "core/file_type.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_formats.h"
#include "core/image_limits.h"

namespace {

// Exactly three channels: a single channel (grey, or grey with alpha) is copied into all
// three; alpha and any further channels are dropped, never mixed into the colours.
template <typename T>
void force_three_channels(cimg_library::CImg<T>& image) {
  const int channels = image.spectrum();
  if (channels == 3 || image.is_empty()) return;
  if (channels > 3) {
    image.channels(0, 2);
    return;
  }
  const uint64_t n = uint64_t(image.width()) * uint64_t(image.height()) * uint64_t(image.depth());
  cimg_library::CImg<T> rgb(image.width(), image.height(), image.depth(), 3);
  for (int c = 0; c < 3; ++c) std::memcpy(rgb.data() + c * n, image.data(), n * sizeof(T));
  rgb.move_to(image);
}

}  // namespace

void load_image(Hdr_image& image, const std::string& path, uint32_t type) {
  const Image_format* format = image_format(type);
  if (!format || !format->read) throw Read_error("Unsupported file type: " + path);
  format->read(image, path);
  // The readers clamp while decoding (a separate pass over a large image costs as much as
  // reading an uncompressed file); JPEG samples are bytes, always within range.
  force_three_channels(image);
  image.type = type;
}

void load_image_bytes(Rgb8_image& planes, const std::string& path, uint32_t type) {
  const Image_format* format = image_format(type);
  if (!format || !format->read) throw Read_error("Unsupported file type: " + path);
  if (format->read_bytes) {
    // 8-bit sources: no float image on the way (12 bytes a pixel, for values that are
    // whole bytes already).
    format->read_bytes(planes, path);
    force_three_channels(planes);
    return;
  }
  Hdr_image image;
  load_image(image, path, type);
  planes.assign(image.width(), image.height(), image.depth(), image.spectrum());
  const float* in = image.data();
  uint8_t* out = planes.data();
  const uint64_t count = image.size();
  for (uint64_t i = 0; i < count; ++i) out[i] = loaded_value_byte(in[i]);
}

std::unique_ptr<Hdr_image> load_image_to_show(const std::string& path, uint32_t type,
                                              std::string& damage) {
  auto image = std::make_unique<Hdr_image>();
  try {
    load_image(*image, path, type);
  } catch (const Incomplete_image_error& e) {
    damage = e.what();
    image->swap(*e.partial());
    image->type = e.partial()->type;
  }
  return image;
}

void load_image_detect_type(Hdr_image& image, const std::string& path) {
  load_image(image, path, image_type_from_extension(path));
}

Hdr_image::Hdr_image(const std::string& path) { load_image_detect_type(*this, path); }

Hdr_image::Hdr_image(const std::string& path, uint32_t type) { load_image(*this, path, type); }

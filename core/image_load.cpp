// The loading dispatcher and what every load ends with: three channels, clamped values,
// the type code. Also the path constructors of Hdr_image.
#include "core/image_load.h"

#include <cstring>

#include "core/exr_read.h"
#include "core/file_type.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_limits.h"
#include "core/jpeg_read.h"
#include "core/png_read.h"
#include "core/rgbe_read.h"
#include "core/tiff_read.h"

namespace {

// Exactly three channels: a single channel (grey, or grey with alpha) is copied into all
// three; alpha and any further channels are dropped, never mixed into the colours.
void force_three_channels(Hdr_image& image) {
  const int channels = image.spectrum();
  if (channels == 3 || image.is_empty()) return;
  if (channels > 3) {
    image.channels(0, 2);
    return;
  }
  const uint64_t n = image.plane_size();
  cimg_library::CImg<float> rgb(image.width(), image.height(), image.depth(), 3);
  for (int c = 0; c < 3; ++c) std::memcpy(rgb.data() + c * n, image.data(), n * sizeof(float));
  rgb.move_to(image);
}

}  // namespace

void load_image(Hdr_image& image, const std::string& path, uint32_t type) {
  switch (type) {
    case k_type_exr:
      read_exr(image, path);
      break;
    case k_type_rgbe:
      read_rgbe(image, path);
      break;
    case k_type_png:
      read_png(image, path);
      break;
    case k_type_jpeg:
      if (!read_jpeg(image, path)) {
        auto partial = std::make_shared<Hdr_image>();
        partial->swap(image);
        partial->type = type;
        throw Incomplete_image_error(
            "Image data is damaged; the picture is incomplete: " + path, std::move(partial));
      }
      break;
    case k_type_tiff8:
    case k_type_tiff_float:
    case k_type_tiff_logluv:
    case k_type_tiff_logl:
      read_tiff(image, path);
      break;
    default:
      throw Read_error("Unsupported file type: " + path);
  }
  // The readers clamp while decoding (a separate pass over a large image costs as much as
  // reading an uncompressed file); JPEG samples are bytes, always within range.
  force_three_channels(image);
  image.type = type;
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

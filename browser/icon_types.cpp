// The five tile classes, each probing its file through its row of the format table.
#include "browser/icon_types.h"

#include "core/hdr_image.h"
#include "core/image_formats.h"

JPEG_icon::JPEG_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  take_format(*image_format(k_type_jpeg));
}

bool JPEG_icon::load_exif_thumbnail(const std::string& path, Thumbnail_planes& out,
                                    Exif_record& exif) {
  return ::load_exif_thumbnail(path, out, exif);
}

void JPEG_icon::load_thumbnail() {
  Thumbnail_planes embedded;
  if (load_exif_thumbnail(path, embedded, exif)) {
    thumb_planes = std::move(embedded);
    show_pixels(interleaved_rgb(thumb_planes), int(thumb_planes.width), int(thumb_planes.height));
    return;
  }
  // A missing or corrupt embedded thumbnail falls back to the cache and the full load.
  Icon::load_thumbnail();
}

PNG_icon::PNG_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  take_format(*image_format(k_type_png));
}

RGBE_icon::RGBE_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  take_format(*image_format(k_type_rgbe));
}

OPENEXR_icon::OPENEXR_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  take_format(*image_format(k_type_exr));
}

TIFF_icon::TIFF_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  // The family's first row until the tags say which member the file is.
  take_format(*image_format(k_type_tiff8));
}

Icon* make_icon_for_name(const std::string& name, const std::string& folder) {
  if (name.empty() || name.back() == '/') return nullptr;
  const Image_format* format = image_format_for_name(name);
  if (!format) return nullptr;
  if (format->type_from_tags) return new TIFF_icon(0, 0, 0, 0, name, folder);
  switch (format->type) {
    case k_type_jpeg:
      return new JPEG_icon(0, 0, 0, 0, name, folder);
    case k_type_png:
      return new PNG_icon(0, 0, 0, 0, name, folder);
    case k_type_rgbe:
      return new RGBE_icon(0, 0, 0, 0, name, folder);
    case k_type_exr:
      return new OPENEXR_icon(0, 0, 0, 0, name, folder);
    default:
      return nullptr;  // a row that names no file
  }
}

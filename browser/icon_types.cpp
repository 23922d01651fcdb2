#include "browser/icon_types.h"

#include <FL/filename.H>

#include <algorithm>
#include <cctype>

#include "core/header_probe.h"
#include "core/hdr_image.h"
#include "core/tiff_read.h"

JPEG_icon::JPEG_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  probe_header([this] { read_jpeg_header(path, width, height); });
  type = k_type_jpeg;
}

bool JPEG_icon::load_exif_thumbnail(const std::string& path, Thumbnail_planes& out,
                                    Exif_record& exif) {
  return ::load_exif_thumbnail(path, out, exif);
}

void JPEG_icon::load_thumbnail() {
  Thumbnail_planes embedded;
  if (load_exif_thumbnail(path, embedded, exif)) {
    thumb_planes = std::move(embedded);
    show_pixels(interleaved_rgb(thumb_planes), int(thumb_planes.width),
                int(thumb_planes.height));
    return;
  }
  // A missing or corrupt embedded thumbnail falls back to the cache and the full load.
  Icon::load_thumbnail();
}

PNG_icon::PNG_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  probe_header([this] { read_png_header(path, width, height); });
  type = k_type_png;
}

RGBE_icon::RGBE_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  probe_header([this] { read_rgbe_header(path, width, height); });
  type = k_type_rgbe;
}

OPENEXR_icon::OPENEXR_icon(int x, int y, int w, int h, const std::string& n,
                           const std::string& f)
    : Icon(x, y, w, h, n, f) {
  probe_header([this] { read_exr_header(path, width, height); });
  type = k_type_exr;
}

TIFF_icon::TIFF_icon(int x, int y, int w, int h, const std::string& n, const std::string& f)
    : Icon(x, y, w, h, n, f) {
  uint32_t code = k_type_tiff8;
  probe_header([this, &code] { read_tiff_header(path, width, height, code); });
  type = code;
}

Icon* make_icon_for_name(const std::string& name, const std::string& folder) {
  if (name.empty() || name.back() == '/') return nullptr;
  std::string ext = fl_filename_ext(name.c_str());
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (ext == ".jpg" || ext == ".jpeg") return new JPEG_icon(0, 0, 0, 0, name, folder);
  if (ext == ".png") return new PNG_icon(0, 0, 0, 0, name, folder);
  if (ext == ".hdr" || ext == ".rgbe" || ext == ".pic") return new RGBE_icon(0, 0, 0, 0, name, folder);
  if (ext == ".exr") return new OPENEXR_icon(0, 0, 0, 0, name, folder);
  if (ext == ".tif" || ext == ".tiff") return new TIFF_icon(0, 0, 0, 0, name, folder);
  return nullptr;
}

// HDR creation's view of the browser's tiles. Tiles are always looked up by path: the dialog
// keeps no tile across the events its run serves.
#include "browser/create_hdr_host.h"

#include "browser/icon.h"
#include "browser/icon_view.h"

bool Browser_create_hdr_host::describe(const std::string& path, Chosen_file& file) {
  if (!g_icon_view) return false;
  const std::string::size_type slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const Icon* tile = g_icon_view->find_icon(name, folder);
  if (!tile) return false;
  file.path = tile->path;
  file.type = tile->type;
  file.width = tile->width;
  file.height = tile->height;
  file.thumb_pixels = tile->thumb_pixels;
  file.thumb_w = uint32_t(tile->thumb_w > 0 ? tile->thumb_w : 0);
  file.thumb_h = uint32_t(tile->thumb_h > 0 ? tile->thumb_h : 0);
  return true;
}

std::shared_ptr<void> Browser_create_hdr_host::keep_tiles() {
  if (!g_icon_view) return nullptr;
  return std::make_shared<Busy_tiles>(*g_icon_view);
}

Browser_create_hdr_host& browser_create_hdr_host() {
  static Browser_create_hdr_host host;
  return host;
}

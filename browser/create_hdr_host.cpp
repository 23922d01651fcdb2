// HDR creation's view of the browser. Tiles are always looked up by path: the dialog
// keeps no tile across the events its run serves.
#include "browser/create_hdr_host.h"

#include "browser/browser_answers.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "core/hdr_image.h"
#include "viewer/open_new_result.h"

std::vector<std::string> Browser_create_hdr_host::selection() { return selected_tile_paths(); }

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

std::string Browser_create_hdr_host::current_folder() { return shown_folder(); }

void Browser_create_hdr_host::open_result(std::unique_ptr<Hdr_image> image,
                                          const std::string& folder) {
  open_new_result(std::move(image), folder);
}

std::shared_ptr<void> Browser_create_hdr_host::keep_tiles() {
  if (!g_icon_view) return nullptr;
  return std::make_shared<Busy_tiles>(*g_icon_view);
}

Browser_create_hdr_host& browser_create_hdr_host() {
  static Browser_create_hdr_host host;
  return host;
}

// The hand-off from a tile to the viewer.
#include "browser/icon_open.h"

#include <exception>
#include <memory>

#include "core/busy_cursor.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/messages.h"
#include "viewer/open_viewer.h"

bool open_tile_image(const std::string& path, const std::string& name, const std::string& folder,
                     uint32_t type) {
  set_busy_cursor(FL_CURSOR_WAIT);
  std::unique_ptr<Hdr_image> image;
  std::string damage;
  try {
    image = load_image_to_show(path, type, damage);
  } catch (const std::exception&) {
    set_busy_cursor(FL_CURSOR_DEFAULT);
    return false;
  }
  bool shown = true;
  try {
    open_viewer(std::move(image), path, name, folder);
  } catch (const std::exception&) {
    shown = false;
  }
  set_busy_cursor(FL_CURSOR_DEFAULT);
  // A damaged file shows what could be decoded, and says so once.
  if (shown && !damage.empty()) show_alert(damage);
  return shown;
}

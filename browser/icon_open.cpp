// The hand-off from a tile to the viewer.
#include "browser/icon_open.h"

#include <memory>

#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/messages.h"
#include "viewer/open_viewer.h"

bool open_tile_image(const std::string& path, const std::string& name, const std::string& folder,
                     uint32_t type) {
  set_busy_cursor(FL_CURSOR_WAIT);
  std::string damage;
  if (!Command().fixed_alert(k_tile_open_alert).run([&] {
        open_viewer(load_image_to_show(path, type, damage), path, name, folder);
      }))
    return false;
  set_busy_cursor(FL_CURSOR_DEFAULT);
  // A damaged file shows what could be decoded, and says so once.
  if (!damage.empty()) show_alert(damage);
  return true;
}

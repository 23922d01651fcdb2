// The hand-off from a tile to the viewer.
#include "browser/icon_open.h"

#include <FL/Fl_Group.H>

#include <exception>
#include <memory>

#include "core/busy_cursor.h"
#include "core/hdr_image.h"

bool open_tile_image(const std::string& path, const std::string& name,
                     const std::string& folder, uint32_t type) {
  set_busy_cursor(FL_CURSOR_WAIT);
  std::unique_ptr<Hdr_image> image;
  try {
    image = std::make_unique<Hdr_image>(path, type);
  } catch (const std::exception&) {
    set_busy_cursor(FL_CURSOR_DEFAULT);
    return false;
  }
  (void)name;
  (void)folder;
  // The viewer titled with the file name takes the image here once the viewer exists.
  set_busy_cursor(FL_CURSOR_DEFAULT);
  return true;
}

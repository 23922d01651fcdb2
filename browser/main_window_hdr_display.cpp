// The main window's "Show on HDR Display": the first selected file, loaded, goes to the
// HDR-monitor window.
#include <memory>
#include <vector>

#include "browser/main_window_drv.h"
#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "viewer/ogl_window.h"

void MainWindowDrv::show_on_hdr_display() {
  // Copied before the busy cursor serves events: the tile may be gone afterwards.
  const std::vector<Selected_file> files = selected_files();
  if (files.empty() || !g_hdr_display_window) return;
  std::unique_ptr<Hdr_image> image;
  set_busy_cursor(FL_CURSOR_WAIT);
  // Every reader's failure alike, the image library's own included.
  if (!Command().fixed_alert("Cannot read image. Image data seems to be corrupted.").run([&] {
        image = std::make_unique<Hdr_image>(files.front().path);
      }))
    return;
  set_busy_cursor(FL_CURSOR_DEFAULT);
  show_on_hdr_window(std::move(image));
}

// "Tonemap...": one selected file is loaded for the tone-mapping dialog; several make a
// batch that the dialog reads itself.
#include <memory>
#include <string>
#include <vector>

#include "browser/main_window_drv.h"
#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "hdr/tonemap_phot_dlg_drv.h"

void MainWindowDrv::tonemap() {
  // Copied before the busy cursor serves events: the tiles may be gone afterwards.
  const std::vector<Selected_file> files = selected_files();
  if (files.empty() || !g_tonemap_dialog) return;
  if (files.size() > 1) {
    std::vector<std::string> paths;
    for (const Selected_file& f : files) paths.push_back(f.path);
    if (g_tonemap_dialog->setup(nullptr, nullptr, 1.0f, paths)) g_tonemap_dialog->show();
    return;
  }
  set_busy_cursor(FL_CURSOR_WAIT);
  auto image = std::make_unique<Hdr_image>();
  if (!Command().fixed_alert("Cannot tonemap image. Image data seems to be corrupted.").run([&] {
        load_image(*image, files.front().path, files.front().type);
      }))
    return;
  // No room for the preview of a very large image: its own text.
  bool ready = false;
  if (!Command().run([&] { ready = g_tonemap_dialog->setup(std::move(image), nullptr, 1.0f, {}); }))
    return;
  set_busy_cursor(FL_CURSOR_DEFAULT);
  if (ready) g_tonemap_dialog->show();
}

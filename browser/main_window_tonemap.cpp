// "Tonemap...": one selected file is loaded for the tone-mapping dialog; several make a
// batch that the dialog reads itself.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "browser/main_window_drv.h"
#include "core/busy_cursor.h"
#include "core/hdr_image.h"
#include "core/image_load.h"
#include "core/messages.h"
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
  try {
    load_image(*image, files.front().path, files.front().type);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    set_busy_cursor(FL_CURSOR_DEFAULT);
    show_alert("Cannot tonemap image. Image data seems to be corrupted.");
    return;
  }
  bool ready = false;
  try {
    ready = g_tonemap_dialog->setup(std::move(image), nullptr, 1.0f, {});
  } catch (const std::exception& e) {
    // No room for the preview of a very large image.
    show_alert(e.what());
  }
  set_busy_cursor(FL_CURSOR_DEFAULT);
  if (ready) g_tonemap_dialog->show();
}

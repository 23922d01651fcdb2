// Written files reach the thumbnail grid (see the header).
#include "browser/grid_refresh.h"

#include <string>

#include "browser/icon_view.h"
#include "core/file_written.h"

void install_grid_refresh() {
  // Looked up at each call: the grid is built after start-up installs this, and tests
  // build and delete main windows.
  set_file_written_handler([](const std::string& path) {
    if (g_icon_view) g_icon_view->refresh_file(path);
  });
}

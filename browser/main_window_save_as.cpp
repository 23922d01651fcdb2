// The main window's "Save As...": the selected file goes to the save-as chooser.
#include <string>
#include <vector>

#include "browser/main_window_drv.h"
#include "viewer/save_as_chooser.h"

void MainWindowDrv::save_as() {
  // The menu offers it for exactly one selected tile; the first is the one saved.
  const std::vector<Selected_file> files = selected_files();
  if (files.empty() || !g_save_as_chooser) return;
  g_save_as_chooser->show_for(nullptr, files.front().type, files.front().path);
}

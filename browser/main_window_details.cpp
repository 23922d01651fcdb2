// The main window's "Image Info...", "Image Stats..." and "Histogram...": the first
// selected file goes to the dialog, which reads or loads it itself.
#include "browser/main_window_drv.h"
#include "core/busy_cursor.h"
#include "viewer/hist_dlg.h"
#include "viewer/image_info_dialog.h"
#include "viewer/image_stats_dialog.h"

void MainWindowDrv::image_info() {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty() || !g_image_info_dialog) return;
  const Selected_file& f = files.front();
  g_image_info_dialog->fill(f.path, f.name, uint64_t(f.width < 0 ? 0 : f.width),
                            uint64_t(f.height < 0 ? 0 : f.height));
}

void MainWindowDrv::image_stats() {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty() || !g_image_stats_dialog) return;
  g_image_stats_dialog->fill(nullptr, files.front().path, files.front().name);
}

void MainWindowDrv::histogram() {
  // Copied before the busy cursor serves events: the tile may be gone afterwards.
  const std::vector<Selected_file> files = selected_files();
  if (files.empty() || !g_histogram_dialog) return;
  set_busy_cursor(FL_CURSOR_WAIT);
  const bool loaded = g_histogram_dialog->load_image(files.front().path, files.front().type);
  set_busy_cursor(FL_CURSOR_DEFAULT);
  if (loaded) g_histogram_dialog->show();
}

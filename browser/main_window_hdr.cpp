// The main window's HDR creation commands: "Create HDR..." and "Batch Create HDR..." hand
// the grid's selection to the HDR dialog.
#include "browser/main_window_drv.h"
#include "browser/selection_checks.h"
#include "core/messages.h"
#include "hdr/create_hdr_dialog_drv.h"

void MainWindowDrv::create_hdr(bool batch) {
  // A batch merges groups that need not share one size; a single image must.
  if (!batch && !same_dimensions(selected_files())) {
    show_alert(k_hdr_size_alert);
    return;
  }
  if (g_create_hdr_dialog) g_create_hdr_dialog->open_for_selection(batch);
}

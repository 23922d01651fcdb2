// "Fuse Exposures...": the same-resolution check, then the exposure fusion dialog.
#include <vector>

#include "browser/main_window_drv.h"
#include "browser/selection_checks.h"
#include "core/messages.h"
#include "hdr/exposure_fusion_dialog_drv.h"

void MainWindowDrv::fuse_exposures() {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty()) return;
  if (!same_dimensions(files)) {
    show_alert(k_fusion_size_alert);
    return;
  }
  // "Fuse" reads the selection afresh when pressed.
  if (g_fusion_dialog) g_fusion_dialog->show();
}

// The exposure fusion dialog's behaviour: reads the grid's selected exposures, fuses
// them and opens the result in a new "Untitled" viewer.
#pragma once
#include "hdr/exposure_fusion.h"
#include "hdr/exposure_fusion_dialog.h"

class ExposureFusionDialogDrv : public ExposureFusionDialog {
 public:
  ExposureFusionDialogDrv(int w, int h, const char* title);

  /// Reads every selected file (click order, serving events before each), fuses them with
  /// trunc(log2) of the first one's smaller side as the pyramid depth and opens the result
  /// (type code 10, change bit 32) in a viewer of the current folder; the dialog then
  /// hides. A file that cannot be read, exposures of different sizes or an OpenCV failure
  /// give an alert; the dialog then stays open. Either way the cursor, the progress window
  /// and the dialog's active state are restored. Nothing happens without a selection or
  /// while a fusion runs.
  void fuse() override;

  /// The sliders' values as the fusion's exponents.
  Fusion_exponents exponents() const;

 private:
  void end_work();
  bool m_running = false;  // a fusion serves events; a second one must not start inside
};

/// The program's exposure fusion dialog; main creates it.
extern ExposureFusionDialogDrv* g_fusion_dialog;

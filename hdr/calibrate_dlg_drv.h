// The calibration dialog's behaviour: shows the luminance of the pixel the user clicked
// in a viewer and multiplies the viewer's image so that the pixel gets the typed value.
#pragma once
#include <cstdint>

#include "hdr/calibrate_dlg.h"

class Calibration_target;

class CalibrateDlgDrv : public CalibrateDlg {
 public:
  CalibrateDlgDrv(int w, int h, const char* title);

  /// Called by the viewer for a press on its image in calibration mode; x and y are the
  /// image pixel under the pointer. Remembers the viewer and the pixel, reads the pixel's
  /// luminance without the viewer's exposure, puts it in the value input and shows the
  /// dialog. Ignored while a calibration runs.
  void start(Calibration_target& viewer, int x, int y);

  /// "Calibrate": factor = typed / (luminance + 1e-6); with the dialog deactivated and the
  /// wait cursor on, records the undo step (kind 16), multiplies every value of the image
  /// by the factor, sets change bit 16 and updates the viewer's display, then hides.
  /// Text that is no number, a value that is negative or not finite, or a factor that
  /// would make some value infinite, is refused with an alert and the dialog stays open; a
  /// viewer closed since start is told of and nothing is multiplied. Failures restore
  /// cursor and dialog.
  void apply() override;

  // The state kept from start, for tests.
  float luminance() const { return m_luminance; }
  int pixel_x() const { return m_x; }
  int pixel_y() const { return m_y; }

 private:
  /// The multiplication on the viewer still open; throws Refusal (stay_open: the dialog
  /// stays for another value).
  void calibrate(bool& stay_open);

  Calibration_target* m_viewer = nullptr;  // not owned; may be closed or gone at apply
  int32_t m_x = 0, m_y = 0;
  float m_luminance = 0.f;
  bool m_running = false;  // the busy cursor serves events while a calibration runs
};

/// The program's calibration dialog; main creates it.
extern CalibrateDlgDrv* g_calibrate_dialog;

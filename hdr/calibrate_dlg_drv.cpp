// Calibration of a viewer's image to a known luminance (see the header).
#include "hdr/calibrate_dlg_drv.h"

#include <FL/Fl_Value_Input.H>

#include <string>

#include "core/action_scopes.h"
#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "hdr/calibration_target.h"
#include "hdr/luminance_calibration.h"

CalibrateDlgDrv* g_calibrate_dialog = nullptr;

namespace {

// The viewer's change bit, and the undo kind, of a calibration.
constexpr uint32_t k_calibrated = 16;

const char k_viewer_closed_text[] = "The image's viewer has been closed. Nothing was calibrated.";

bool still_open(Calibration_target* viewer) {
  if (!Calibration_target::exists(viewer) || !viewer->calibration_open()) return false;
  const Hdr_image* image = viewer->get_image();
  return image && !image->is_empty();
}

}  // namespace

CalibrateDlgDrv::CalibrateDlgDrv(int w, int h, const char* title) : CalibrateDlg(w, h, title) {}

void CalibrateDlgDrv::start(Calibration_target& viewer, int x, int y) {
  if (m_running) return;
  m_viewer = &viewer;
  m_x = x;
  m_y = y;
  float r = 0.f, g = 0.f, b = 0.f;
  viewer.get_pixel(x, y, r, g, b);
  m_luminance = calibration_luminance(r, g, b);
  value_input->value(double(m_luminance));
  show();
}

void CalibrateDlgDrv::apply() {
  if (m_running) return;
  Guard running(m_running);
  deactivate();
  set_busy_cursor(FL_CURSOR_WAIT);
  bool stay_open = false;
  // The same way back whether the calibration is done or refused; any alert comes last.
  const auto finish = [this, &stay_open] {
    set_busy_cursor(FL_CURSOR_DEFAULT);
    if (!stay_open) hide();
    activate();
  };
  if (Command().keep_cursor().on_failure(finish).run([&] { calibrate(stay_open); })) finish();
}

void CalibrateDlgDrv::calibrate(bool& stay_open) {
  // Looked at only now: the cursor served events, and anything may have happened.
  Calibration_target* viewer = m_viewer;
  if (!still_open(viewer)) {
    m_viewer = nullptr;
    throw Refusal(k_viewer_closed_text);
  }
  Hdr_image& image = *viewer->get_image();
  // The value as the field read it, once its text is known to be a number: text the
  // field reads as 0 is no typed 0.
  Calibration_factor f;
  f.check = check_typed_text(value_input->input.value());
  if (f.check == k_calibration_ok) f = calibration_factor(value_input->value(), m_luminance, image);
  if (f.check != k_calibration_ok) {
    stay_open = true;  // the user may type another value
    throw Refusal(calibration_refusal_text(f.check));
  }
  // The copy for Undo is the one step that can fail (memory): before any change.
  viewer->save_undo(k_calibrated, 0);
  image *= f.factor;
  image.stats = Image_stats{};
  viewer->set_modified(k_calibrated);
  viewer->update_view();
}

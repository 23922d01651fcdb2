// The viewer's edits in place (rotate, flip, crop to the selection) with their one level
// of undo and redo, and the pseudo-colour copy that opens in a new viewer.
#include <FL/Fl.H>

#include <memory>
#include <string>
#include <utility>

#include "core/browser_seam.h"
#include "core/busy_cursor.h"
#include "core/color_space.h"
#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "core/image_crop.h"
#include "core/image_orient.h"
#include "viewer/action_scopes.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_new_result.h"
#include "viewer/viewer_geometry.h"
#include "viewer/viewer_undo.h"

namespace {

// One guard per action, shared by every viewer: a second call that arrives through the
// busy cursor's event pumping returns at once.
bool g_rotate_running = false;
bool g_flip_running = false;
bool g_pseudo_color_running = false;
bool g_exchange_running = false;

// A rotation sum of a whole turn is no rotation at all.
bool whole_turn(int degrees) { return degrees == 0 || degrees == 360 || degrees == -360; }

}  // namespace

void ImageDialogDrv::rotate(int angle) {
  if (g_rotate_running || !m_image) return;
  if (angle != 90 && angle != -90) return;  // the menu gives quarter turns only
  Guard guard(g_rotate_running);
  Action_scope running(*this);
  Busy busy;
  if (!m_image) return;  // the pump may have run anything
  // A large image may not find room for its turned or copied pixels: the user is told
  // and the viewer keeps what it had.
  Command().run([&] {
    // Turned before the record is made: a turn that fails leaves nothing to undo.
    rotate_quarter_turns(*m_image, angle);
    save_undo(k_change_rotated, angle);
    m_rotation_sum += angle;
    if (whole_turn(m_rotation_sum)) {
      m_rotation_sum = 0;
      clear_modified(k_change_rotated);
    } else {
      set_modified(k_change_rotated);
    }
    update_view();
  });
}

void ImageDialogDrv::flip(char axis) {
  if (g_flip_running || !m_image) return;
  if (axis != 'x' && axis != 'y') return;
  Guard guard(g_flip_running);
  Action_scope running(*this);
  Busy busy;
  if (!m_image) return;
  Command().run([&] {
    flip_image(*m_image, axis);
    if (axis == 'y')
      m_flip_vertical = !m_flip_vertical;
    else
      m_flip_horizontal = !m_flip_horizontal;
    save_undo(k_change_flipped, axis);
    if (m_flip_vertical || m_flip_horizontal)
      set_modified(k_change_flipped);
    else
      clear_modified(k_change_flipped);
    update_view();
  });
}

void ImageDialogDrv::crop(int from_selection) {
  if (from_selection)
    crop_to_selection();
  else
    specify_crop_region();
}

void ImageDialogDrv::crop_to_selection() {
  if (!m_image || m_image->is_empty() || !m_selection_shown) return;
  const int in[4] = {m_sel_x0, m_sel_y0, m_sel_x1, m_sel_y1};
  int b[4];
  selection_to_image(in, b);
  m_selection_shown = false;
  redraw();
  // The selection stays put in the window while the image scrolls or zooms under it:
  // only the part that still covers the image is kept, and none at all crops nothing.
  if (!clamp_bounds_to_image(b, m_image->width(), m_image->height())) return;
  Action_scope running(*this);
  Command().run([&] {
    save_undo(k_change_cropped, 0);
    crop_image(*m_image, Crop_bounds{b[0], b[1], b[2], b[3]});
    set_modified(k_change_cropped);
    update_view();
  });
}

bool ImageDialogDrv::undo_step() {
  switch (m_undo_kind) {
    case k_change_rotated: {
      if (g_rotate_running || !m_image) return false;
      const int applied = m_undo_argument;
      rotate(-applied);                               // records the opposite turn
      if (m_undo_argument != -applied) return false;  // the turn failed
      break;
    }
    case k_change_flipped:
      if (g_flip_running || !m_image) return false;
      flip(char(m_undo_argument));  // records the same flip
      break;
    case k_change_resized:
    case k_change_cropped:
    case k_change_calibrated: {
      if (g_exchange_running || !m_image || !m_undo_image) return false;
      Guard guard(g_exchange_running);
      Action_scope running(*this);
      Busy busy;
      if (!m_image || !m_undo_image) return false;
      exchange_undo_copy(*m_image, m_exposure, *m_undo_image, m_undo_exposure);
      // A save may have come between the edit and this step: the image shown is then
      // no longer the file's, so the step marks it changed again.
      set_modified(m_undo_kind);
      update_view();
      break;
    }
    default:
      return false;
  }
  m_undo_available = false;
  set_item_active("&Edit/Undo", false);
  m_redo_available = true;
  set_item_active("&Edit/Redo", true);
  return true;
}

// Each runs only while its mark is set, also when called from code rather than the menu:
// a step already undone (or a record left from the previous file) is never applied twice.
void ImageDialogDrv::undo() {
  if (m_undo_available) undo_step();
}

void ImageDialogDrv::redo() {
  // Every kind is its own inverse: undoing the undo re-applies the step.
  if (!m_redo_available || !undo_step()) return;
  m_undo_available = true;
  set_item_active("&Edit/Undo", true);
  m_redo_available = false;
  set_item_active("&Edit/Redo", false);
}

void ImageDialogDrv::pseudo_color() {
  if (g_pseudo_color_running || !m_image) return;
  Guard guard(g_pseudo_color_running);
  Action_scope running(*this);
  Busy busy;
  if (!m_image) return;
  Command().run([&] {
    auto copy = std::make_unique<Hdr_image>(*m_image);
    Color_space_params params;
    params.from = k_space_rgb_gamma;
    params.to = k_space_pseudo;
    params.scale = 1.0f;
    params.gain = 1.0f;
    params.white_x = 0.9504f;
    params.white_y = 1.0f;
    params.white_z = 1.0889f;
    transform_color_space(params, *m_image, *copy);
    copy->type = k_type_new_ldr;
    copy->stats = Image_stats{};
    open_new_result(std::move(copy), current_folder());
  });
}

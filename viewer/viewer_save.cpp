// The viewer's file operations: Save, Save As, closing with the question about unsaved
// changes, and Next and Previous Image through the thumbnail grid's files.
#include <FL/Enumerations.H>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/file_names.h"
#include "core/file_type.h"
#include "core/guard.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_formats.h"
#include "core/image_load.h"
#include "core/messages.h"
#include "core/preferences_dlg.h"
#include "core/rewrite_loss.h"
#include "viewer/exposure_save.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/neighbour_file.h"
#include "viewer/save_as_chooser.h"
#include "viewer/save_formats.h"

namespace {

bool ask_before_closing() {
  return !g_preferences_dialog || g_preferences_dialog->prompt_when_closing();
}

bool is_closed(const Fl_Window* w) {
  return std::find(g_closed_viewers.begin(), g_closed_viewers.end(), w) != g_closed_viewers.end();
}

}  // namespace

bool ImageDialogDrv::save_to(const std::string& path, uint32_t type) {
  if (m_file_action || !m_image) return false;
  // The busy cursor and the RGBE reader pump events: a second save or step must not start
  // inside.
  Guard file_action(m_file_action);
  Action_scope running(*this);
  set_busy_cursor(FL_CURSOR_WAIT);
  const std::string cannot_write = "Cannot write image data to file: " + path;
  // Only a written file clears the changes: after a failure the image still differs from
  // every file on disk. A written file stays written when announcing it fails.
  bool written = false;
  Command().fallback(cannot_write).run([&] {
    if (!m_image) throw Write_error(cannot_write);  // the pump may have run anything
    save_image_at_exposure(*m_image, m_exposure, path, type, m_path);
    written = true;
    mark_saved();
    set_item_active("&Image/&Save", false);
    update_title();
    set_busy_cursor(FL_CURSOR_DEFAULT);
    file_written(path);
  });
  return written;
}

void ImageDialogDrv::mark_saved() {
  // The saved file is the new starting point: turning or flipping back from here is a
  // change again, so the marks that decide bits 1 and 2 start afresh too.
  m_changes = 0;
  m_rotation_sum = 0;
  m_flip_vertical = m_flip_horizontal = false;
}

ImageDialogDrv::Save_route ImageDialogDrv::save_route() {
  // A new result has no file yet, and a read-only format (TIFF LogL) cannot be written
  // back: both need a name and a format from the chooser.
  if ((m_changes & k_change_new_image) || !is_writable_type(get_file_type()))
    return Save_route::save_as;
  // The image holds three channels at the writer's depth: a file holding more (a
  // transparent alpha channel, 16-bit samples) is not replaced by less without asking.
  std::string loss;
  const std::string path = m_path;
  try {
    loss = rewrite_loss(path, get_file_type());
  } catch (const Read_error&) {
    // A file that can no longer be read holds nothing the save could lose.
  }
  if (loss.empty()) return Save_route::write;
  const int answer = ask_choice(
      "Saving over '" + path + "' would lose " + loss + ". Save the image under another name?",
      "Cancel", "Save As...", nullptr);
  return answer == 1 ? Save_route::save_as : Save_route::cancel;
}

void ImageDialogDrv::save() {
  if (!m_image) return;
  const Save_route route = save_route();
  if (route == Save_route::save_as)
    save_as();
  else if (route == Save_route::write)
    save_to(m_path, get_file_type());
}

void ImageDialogDrv::save_as() {
  if (!m_image || !g_save_as_chooser) return;
  // A Save As chosen anew is no longer the one a step to the next file waited for.
  m_step_after_save = k_no_step;
  g_save_as_chooser->show_for(this, get_file_type(), m_path);
}

ImageDialogDrv::Unsaved_answer ImageDialogDrv::ask_about_changes(const char* question) {
  if (m_changes == 0 || !ask_before_closing()) return Unsaved_answer::go_on;
  // FLTK gives the first button to Escape and to closing the question's window: that
  // must keep the changes, so "Cancel" comes first and "Don't save" last.
  const int answer = ask_choice(question, "Cancel", "Save", "Don't save");
  if (answer == 0) return Unsaved_answer::cancel;
  if (answer != 1) return Unsaved_answer::go_on;
  const Save_route route = save_route();
  if (route == Save_route::cancel) return Unsaved_answer::cancel;
  if (route == Save_route::save_as) {
    save_as();
    return Unsaved_answer::saving_as;
  }
  // Not written: the viewer stays as it is, with its changes.
  return save_to(m_path, get_file_type()) ? Unsaved_answer::go_on : Unsaved_answer::cancel;
}

void ImageDialogDrv::close() {
  m_closing_after_save = false;
  m_step_after_save = k_no_step;
  const Unsaved_answer answer = ask_about_changes("Save changes before closing?");
  if (answer == Unsaved_answer::cancel) return;
  if (answer == Unsaved_answer::saving_as) {
    m_closing_after_save = true;
    return;
  }
  close_window();
}

void ImageDialogDrv::reset_file_state() {
  clear_modified(~0u);
  m_rotation_sum = 0;
  m_exposure = 1.f;
  m_default_exposure = 1.f;
  m_first_display_done = false;
  m_flip_vertical = m_flip_horizontal = false;
  m_closing_after_save = false;
  m_step_after_save = k_no_step;
  m_undo_image.reset();
  m_undo_exposure = 1.f;
  m_undo_available = m_redo_available = false;
  set_item_active("&Edit/Undo", false);
  set_item_active("&Edit/Redo", false);
}

void ImageDialogDrv::next_image(int forward) {
  if (m_file_action || !m_image) return;
  std::vector<std::string> paths;
  if (!Command().run([&] { paths = grid_paths(); })) return;
  if (!neighbour_index(paths, m_path, forward != 0)) return;
  m_step_after_save = k_no_step;
  Unsaved_answer answer;
  {
    Action_scope running(*this);  // the question serves events: not deleted meanwhile
    // The viewer stays open: the question is about leaving this image.
    answer = ask_about_changes("Save changes before leaving this image?");
  }
  if (answer == Unsaved_answer::cancel || is_closed(this)) return;
  if (answer == Unsaved_answer::saving_as) {
    // Set after the chooser was shown: after_save_as moves on once the file is written
    // (and no longer closes the viewer for an earlier Close).
    m_closing_after_save = false;
    m_step_after_save = forward != 0 ? k_step_forward : k_step_backward;
    return;
  }
  step_to_neighbour(m_path, forward != 0);
}

void ImageDialogDrv::step_to_neighbour(const std::string& from, bool forward) {
  if (m_file_action || !m_image) return;
  // Looked up again: the question and the save served events.
  std::vector<std::string> paths;
  if (!Command().run([&] { paths = grid_paths(); })) return;
  const std::optional<size_t> index = neighbour_index(paths, from, forward);
  if (!index) return;
  const std::string path = paths[*index];
  Guard file_action(m_file_action);
  Action_scope running(*this);
  set_busy_cursor(FL_CURSOR_WAIT);

  // The new file is read before anything of the old one is given up, so a file that
  // cannot be read leaves the viewer as it was.
  std::unique_ptr<Hdr_image> image;
  std::string damage;
  if (!Command().fallback("Cannot read image file: " + path).run([&] {
        image = load_image_to_show(path, image_type_from_extension(path), damage);
      }))
    return;
  // Closed while the file was read (the reader serves events): nothing more to show.
  if (is_closed(this)) {
    set_busy_cursor(FL_CURSOR_DEFAULT);
    return;
  }

  reset_file_state();
  std::string folder, name;
  split_path(path, folder, name);
  set_image(std::move(image), path, name, folder, w(), h());
  set_item_active("&View/Previous Image", *index != 0);
  set_item_active("&View/Next Image", *index + 1 != paths.size());
  set_busy_cursor(FL_CURSOR_DEFAULT);
  // A damaged file shows what could be decoded, and says so once.
  if (!damage.empty()) show_alert(damage);
}

// The main window's file commands: delete, rename, new and delete folder, cut, copy and
// paste, batch rotate and flip, and the checks before the batch dialogs. Each starts from
// a copy of the selection and reaches tiles again by path after serving events. Those that
// write, move or delete files run as a Command: refused while another job runs.
#include <cstdio>
#include <string>
#include <vector>

#include "browser/batch_orient.h"
#include "browser/browser_answers.h"
#include "browser/dir_view.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "browser/main_menu.h"
#include "browser/main_window_drv.h"
#include "browser/new_folder_dlg.h"
#include "browser/paste_files.h"
#include "browser/quit_question.h"
#include "browser/rename_dlg.h"
#include "browser/selection_checks.h"
#include "core/action_scopes.h"
#include "core/command_boundary.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/preferences_dlg.h"
#include "viewer/crop_dlg.h"
#include "viewer/resize_dlg.h"

namespace {

bool ask_before_delete() {
  return !g_preferences_dialog || g_preferences_dialog->prompt_on_delete();
}

}  // namespace

std::vector<Selected_file> MainWindowDrv::selected_files() const { return selected_tiles(); }

void MainWindowDrv::open_image() {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty()) return;
  if (Icon* tile = tile_of(files.front().path)) tile->open();
}

void MainWindowDrv::delete_images() {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty()) return;
  Command().run([&] {
    if (ask_before_delete()) {
      std::vector<std::string> names;
      for (const Selected_file& file : files) names.push_back(file.name);
      if (ask_choice(delete_images_question(names), "Cancel", "Delete", nullptr,
                     Return_key::first_button) != 1)
        return;
    }
    Busy cursor;  // to the end, the grid tidied up; a failure's alert comes while it is busy
    for (const Selected_file& file : files) {
      // A file that stays must keep its tile, or the grid would report it deleted.
      if (std::remove(file.path.c_str()) != 0 && file_exists(file.path))
        show_alert("Cannot delete '" + file.path + "'.");
      else if (g_icon_view)
        g_icon_view->remove_file(file.path);
    }
    if (g_icon_view) {
      g_icon_view->deselect_all();
      g_icon_view->update_menus();
      g_icon_view->arrange();
      g_icon_view->redraw();
    }
  });
}

void MainWindowDrv::rename_image() {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty() || !g_rename_dialog) return;
  Command().run([&] {
    g_rename_dialog->set_renamed_callback(
        [](const std::string& old_path, const std::string& new_name) {
          if (Icon* tile = tile_of(old_path)) tile->rename(new_name);
        });
    g_rename_dialog->setup(files.front().folder, files.front().name);
  });
}

void MainWindowDrv::new_directory() {
  if (g_new_folder_dialog) Command().run([] { g_new_folder_dialog->show(); });
}

void MainWindowDrv::delete_directory() {
  if (!g_dir_view) return;
  const std::string folder = g_dir_view->selected_dir();
  const std::string current = shown_folder();
  if (folder.empty()) return;
  Command().run([&] {
    if (remove_directory(folder) == 0)
      g_dir_view->go_to(current, false, true);
    else
      show_alert("Selected directory is not empty or protected.");
  });
}

void MainWindowDrv::cut_copy(bool copy) {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty()) return;
  m_clipboard.clear();
  for (const Selected_file& file : files) m_clipboard.push_back(file.path);
  m_clipboard_copied = copy;
  set_menu_item_active("&Edit/Paste", true);
}

void MainWindowDrv::paste() {
  if (m_clipboard.empty() || !g_dir_view) return;
  // Copies: a Cut or Copy run while events are served replaces the members.
  const std::vector<std::string> sources = m_clipboard;
  const bool copy = m_clipboard_copied;
  const std::string target = shown_folder();
  int written = 0;
  const bool pasted = Command().run([&] {
    Busy cursor;  // for the whole paste, like its progress
    written = paste_files(sources, copy, target);
  });
  if (!pasted) return;
  // A Cut is pasted once; a newer Cut or Copy made meanwhile is kept. Nothing moved (its
  // own folder) leaves it to be pasted elsewhere.
  if (!copy && written > 0 && !m_clipboard_copied && m_clipboard == sources) {
    m_clipboard.clear();
    set_menu_item_active("&Edit/Paste", false);
  }
}

void MainWindowDrv::rotate_images(int degrees) {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty()) return;
  Command().run([&] {
    Busy cursor;
    rotate_files(files, degrees);
  });
}

void MainWindowDrv::flip_images(char axis) {
  const std::vector<Selected_file> files = selected_files();
  if (files.empty()) return;
  Command().run([&] {
    Busy cursor;
    flip_files(files, axis);
  });
}

void MainWindowDrv::resize_images() {
  const std::vector<Selected_file> files = selected_files();
  if (!same_dimensions(files)) {
    show_alert(k_resize_size_alert);
    return;
  }
  if (files.empty() || !g_resize_dialog) return;
  g_resize_dialog->setup(&files, nullptr);
}

void MainWindowDrv::crop_images() {
  const std::vector<Selected_file> files = selected_files();
  if (!same_dimensions(files)) {
    show_alert(k_crop_size_alert);
    return;
  }
  if (files.empty() || !g_crop_dialog) return;
  g_crop_dialog->setup(&files, nullptr);
}

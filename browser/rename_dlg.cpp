// Rename File: widgets and the rename itself.
#include "browser/rename_dlg.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>

#include <cstdio>

#include "core/file_names.h"
#include "core/messages.h"
#include "core/platform.h"

RenameDlgDrv* g_rename_dialog = nullptr;

RenameDlg::RenameDlg(int w, int h, const char* title) : Fl_Double_Window(0, 0, w, h, title) {
  force_position(0);
  name_input = new Fl_Input(121, 52, 295, 25, "New name:");
  rename_button = new Fl_Return_Button(350, 115, 100, 25, "Rename");
  rename_button->callback(cb_first_action);
  cancel_button = new Fl_Button(273, 115, 74, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  end();
  set_modal();
}

RenameDlgDrv::RenameDlgDrv(int w, int h, const char* title) : RenameDlg(w, h, title) {}

void RenameDlgDrv::setup(const std::string& folder, const std::string& file_name) {
  m_folder = folder;
  m_old_path = folder + file_name;
  // Tiles exist only for names with an image extension; without a '.' nothing is kept.
  const std::string::size_type dot = file_name.rfind('.');
  m_base = file_name.substr(0, dot);
  m_extension = dot == std::string::npos ? std::string() : file_name.substr(dot);
  name_input->value(m_base.c_str());
  show();
}

void RenameDlgDrv::rename() {
  const std::string typed = name_input->value() ? name_input->value() : "";
  if (typed == m_base) {
    hide();
    return;
  }
  if (!is_valid_file_name(typed)) {
    show_alert(
        "Invalid characters in input. For compatibility reasons please only use "
        "alphanumeric characters, underscore, and hyphen.");
    return;
  }
  const std::string new_name = typed + m_extension;
  const std::string new_path = m_folder + new_name;
  // rename() would silently replace the other file.
  if (file_exists(new_path)) {
    show_alert("Another file with the same name exists. Please use a different name.");
    return;
  }
  if (std::rename(m_old_path.c_str(), new_path.c_str()) != 0) {
    show_alert("Rename failed. Please try another name.");
    return;
  }
  const std::string old_path = m_old_path;
  m_old_path = new_path;
  m_base = typed;
  if (m_renamed) m_renamed(old_path, new_name);
  hide();
}

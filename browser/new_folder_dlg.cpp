// Create New Directory: widgets and the creation itself.
#include "browser/new_folder_dlg.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>

#include <string>

#include "browser/browser_answers.h"
#include "browser/dir_view.h"
#include "core/file_names.h"
#include "core/messages.h"
#include "core/platform.h"

NewFolderDlgDrv* g_new_folder_dialog = nullptr;

NewFolderDlg::NewFolderDlg(int w, int h, const char* title) : Fl_Double_Window(0, 0, w, h, title) {
  force_position(0);
  name_input = new Fl_Input(152, 35, 215, 25, "Directory name:");
  create_button = new Fl_Return_Button(315, 100, 80, 25, "Create");
  create_button->callback(cb_first_action);
  cancel_button = new Fl_Button(239, 100, 74, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  end();
  set_modal();
}

NewFolderDlgDrv::NewFolderDlgDrv(int w, int h, const char* title) : NewFolderDlg(w, h, title) {}

void NewFolderDlgDrv::show() {
  name_input->value("New Directory");
  NewFolderDlg::show();
}

void NewFolderDlgDrv::create() {
  const std::string typed = name_input->value() ? name_input->value() : "";
  if (!is_valid_file_name(typed)) {
    show_alert(
        "Invalid characters in input. For compatibility reasons please only use "
        "alphanumeric characters, underscore, and hyphen.");
    return;
  }
  // Copied: go_to below replaces the folder list's own string.
  const std::string folder = shown_folder();
  const std::string path = folder + typed;
  if (!folder.empty() && file_exists(path)) {
    show_alert("Another directory with the same name exists. Please use a different name.");
    return;
  }
  // Without a shown folder the name would land in the working folder.
  if (folder.empty() || make_directory(path) != 0) {
    show_alert(
        "Directory cannot be created. Please check the folder name and the "
        "permissions.");
    return;
  }
  g_dir_view->go_to(folder, false, true);
  hide();
}

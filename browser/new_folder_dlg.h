// The Create New Directory dialog: a new folder in the browser's current folder.
#pragma once
#include <FL/Fl_Double_Window.H>

#include "core/dialog_callbacks.h"

class Fl_Button;
class Fl_Input;
class Fl_Return_Button;

/// Widgets; "Create" (and Enter) runs first_action, "Cancel" hides the dialog.
class NewFolderDlg : public Fl_Double_Window, public Dialog_actions {
 public:
  NewFolderDlg(int w, int h, const char* title);

  Fl_Input* name_input = nullptr;
  Fl_Return_Button* create_button = nullptr;
  Fl_Button* cancel_button = nullptr;
};

class NewFolderDlgDrv : public NewFolderDlg {
 public:
  NewFolderDlgDrv(int w, int h, const char* title);

  /// Starts from the name "New Directory" at every showing.
  void show() override;
  /// Makes the typed folder in g_dir_view's current folder and lists it; alerts and
  /// stays open when the name is refused or taken or the folder cannot be made.
  void create();
  void first_action() override { create(); }
};

/// The program's new-folder dialog; main creates it.
extern NewFolderDlgDrv* g_new_folder_dialog;

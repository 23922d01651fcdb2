// The Rename File dialog: a new base name for the selected image file; the extension
// stays.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <functional>
#include <string>

#include "core/dialog_callbacks.h"

class Fl_Button;
class Fl_Input;
class Fl_Return_Button;

/// Widgets; "Rename" (and Enter) runs first_action, "Cancel" hides the dialog.
class RenameDlg : public Fl_Double_Window, public Dialog_actions {
 public:
  RenameDlg(int w, int h, const char* title);

  Fl_Input* name_input = nullptr;
  Fl_Return_Button* rename_button = nullptr;
  Fl_Button* cancel_button = nullptr;
};

class RenameDlgDrv : public RenameDlg {
 public:
  /// Told the old full path and the new file name after each successful rename (the
  /// main window renames the file's tile).
  using Renamed_fn = std::function<void(const std::string& old_path, const std::string& new_name)>;

  RenameDlgDrv(int w, int h, const char* title);

  /// Remembers the file (folder ending in '/', name with extension), puts its base name
  /// into the input and shows the dialog.
  void setup(const std::string& folder, const std::string& file_name);
  /// Renames the file to the typed base name + its extension; alerts and stays open when
  /// the name is refused, taken or the rename fails; hides the dialog otherwise.
  void rename();
  void first_action() override { rename(); }

  void set_renamed_callback(Renamed_fn fn) { m_renamed = std::move(fn); }

  const std::string& folder() const { return m_folder; }
  const std::string& base_name() const { return m_base; }
  const std::string& extension() const { return m_extension; }
  const std::string& old_path() const { return m_old_path; }

 private:
  std::string m_folder, m_base, m_extension, m_old_path;
  Renamed_fn m_renamed;
};

/// The program's rename dialog; main creates it.
extern RenameDlgDrv* g_rename_dialog;

// The main window's behaviour: the twenty menu actions, the files remembered by Cut and
// Copy, the last visited folder opened at construction, and the end of the program.
#pragma once
#include <string>
#include <vector>

#include "browser/main_window.h"
#include "core/selected_file.h"

class MainWindowDrv : public MainWindow {
 public:
  MainWindowDrv(int w, int h, const char* title);
  /// Ends the process with code 0 (through end_process, before the children are
  /// destroyed).
  ~MainWindowDrv() override;

  /// The window callback: the close box quits; Escape (a close request) is ignored.
  static void on_close(Fl_Widget* w, void* data);

  void open_image() override;
  void save_as() override;
  void delete_images() override;
  void rename_image() override;
  void new_directory() override;
  void delete_directory() override;
  /// Unless the question about viewers with unsaved changes is cancelled (confirm_quit),
  /// stores the folder list's state, then deletes this window, which ends the program
  /// with exit code 0.
  void quit() override;
  void cut_copy(bool copy) override;
  void paste() override;
  void rotate_images(int degrees) override;
  void flip_images(char axis) override;
  void resize_images() override;
  void crop_images() override;
  void image_info() override;
  void image_stats() override;
  void histogram() override;
  void show_on_hdr_display() override;
  void tonemap() override;
  void create_hdr(bool batch) override;
  void fuse_exposures() override;

  /// What the file commands need of the selected tiles, in click order, copied so that
  /// no tile pointer is held while events are served.
  std::vector<Selected_file> selected_files() const;

  /// The files remembered by the last Cut or Copy, and whether they were copied.
  const std::vector<std::string>& clipboard() const { return m_clipboard; }
  bool clipboard_is_copy() const { return m_clipboard_copied; }

 private:
  bool m_clipboard_copied = false;       // set: copied; clear: cut
  std::vector<std::string> m_clipboard;  // full paths remembered by Cut and Copy
};

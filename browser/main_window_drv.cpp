// The main window's behaviour. The file, edit, process, tools and view commands are
// implemented beside the dialogs they drive; here are construction and the end.
#include "browser/main_window_drv.h"

#include <FL/Fl.H>

#include "browser/dir_view.h"
#include "browser/program_exit.h"
#include "browser/quit_question.h"
#include "core/app_globals.h"
#include "core/preferences.h"

MainWindowDrv::MainWindowDrv(int w, int h, const char* title) : MainWindow(w, h, title) {
  callback(on_close);
  if (g_dir_view && g_preferences) g_dir_view->restore_last_folder(*g_preferences);
}

MainWindowDrv::~MainWindowDrv() {
  if (g_main_window == this) g_main_window = nullptr;
  end_process(0);
}

void MainWindowDrv::on_close(Fl_Widget* w, void*) {
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  if (auto* window = dynamic_cast<MainWindowDrv*>(w)) window->quit();
}

void MainWindowDrv::quit() {
  if (!confirm_quit()) return;  // "Cancel": everything stays open
  // Only Quit stores the browser state, so no other destruction can overwrite it.
  if (g_dir_view && g_preferences) {
    g_dir_view->save_state(*g_preferences);
    g_preferences->flush();
  }
  delete this;
}

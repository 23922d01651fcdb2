// What main does before the event loop, in its order.
#include "browser/startup.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Icon.H>
#include <FL/Fl_Help_Dialog.H>

#include <exception>
#include <filesystem>
#include <system_error>

#include "browser/main_window_drv.h"
#include "browser/program_pictures.h"
#include "core/app_globals.h"
#include "core/event_pump.h"
#include "core/messages.h"

namespace {

void check_events() { Fl::check(); }

}  // namespace

std::string absolute_path(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  if (error) return path;
  std::string folder = here.string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + path;
}

void open_command_line_image(const std::string& path) {
  (void)path;
}

void start_program(int argc, char** argv) {
  set_event_pump(check_events);

  Fl_File_Icon::load_system_icons();

  // The dialogs and windows, each created once, in this order; the main window last.
  g_help_dialog = new Fl_Help_Dialog;
  g_main_window = new MainWindowDrv(920, 600, "veltrum");

  g_help_dialog->load("help.html");
  Fl_File_Chooser::show_label = "Type:";
  g_directory_chooser =
      new Fl_File_Chooser(".", nullptr, Fl_File_Chooser::DIRECTORY, "Select directory...");

  g_main_window->icon(window_icon_picture());
  Fl::scheme("gtk+");
  g_main_window->show();

  // Only the first argument after the program name counts.
  if (argc > 1 && argv[1]) open_command_line_image(absolute_path(argv[1]));
}

int run_program(int argc, char** argv) {
  start_program(argc, argv);
  Fl::run();
  return 0;
}

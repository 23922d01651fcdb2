// What main does before the event loop, in its order.
#include "browser/startup.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Icon.H>
#include <FL/Fl_Help_Dialog.H>
#include <FL/Fl_PNG_Image.H>

#include <exception>
#include <filesystem>
#include <system_error>

#include "browser/about_dlg.h"
#include "browser/browser_seam_setup.h"
#include "browser/dir_view.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"
#include "browser/new_folder_dlg.h"
#include "browser/program_pictures.h"
#include "browser/rename_dlg.h"
#include "browser/text_file_dlg.h"
#include "core/app_globals.h"
#include "core/embedded_icons.h"
#include "core/event_pump.h"
#include "core/exr_write.h"
#include "core/file_names.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/preferences.h"
#include "core/preferences_dlg.h"
#include "hdr/calibrate_dlg_drv.h"
#include "hdr/create_hdr_dialog_drv.h"
#include "hdr/enter_response_dlg.h"
#include "hdr/exposure_fusion_dialog_drv.h"
#include "hdr/plot_dlg.h"
#include "hdr/progress_dialog.h"
#include "hdr/tonemap_phot_dlg_drv.h"
#include "resources/embedded.h"
#include "viewer/crop_dlg.h"
#include "viewer/hist_dlg.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_info_dialog.h"
#include "viewer/image_stats_dialog.h"
#include "viewer/ogl_window.h"
#include "viewer/open_in_viewer.h"
#include "viewer/resize_dlg.h"
#include "viewer/save_as_chooser.h"

namespace {

void check_events() { Fl::check(); }

// The folder icon every file browser shows for folders; registered with the toolkit,
// which keeps it for the run.
void load_folder_icon() {
  auto* icon = new Fl_File_Icon("", Fl_File_Icon::DIRECTORY);
  if (const Embedded_file* f = find_embedded_file("folder.png"))
    load_embedded_file_icon(icon, f->name, f->data, f->size);
}

void load_generic_image_icon() {
  if (const Embedded_file* f = find_embedded_file("image-x-generic.png"))
    load_embedded_png(g_generic_image_icon, f->name, f->data, f->size);
}

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

std::vector<std::string> help_folders() {
  return {std::string(), platform::program_dir(), VELTRUM_DATA_DIR};
}

std::string find_data_file(const std::string& name, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders)
    if (file_exists(folder + name)) return folder + name;
  return name;
}

void open_command_line_image(const std::string& path) {
  // Loading errors are alerted inside; the browser then stays where it is.
  if (!open_image_in_viewer(path)) return;
  std::string folder, name;
  split_path(path, folder, name);
  // The browser goes to the image's folder as every other way of going there does.
  if (g_dir_view && !folder.empty()) {
    g_dir_view->add_recent_folder(folder);
    g_dir_view->go_to(folder, true, true);
  }
}

void start_program(int argc, char** argv) {
  if (!g_preferences) g_preferences = &g_preferences_store;
  set_event_pump(check_events);
  start_exr_threads();
  install_browser_seam();

  Fl_File_Icon::load_system_icons();
  load_folder_icon();
  load_generic_image_icon();

  // The dialogs and windows, each created once and never deleted, in this order: HDR
  // creation, progress, image info, image stats, preferences, rename, resize, crop, tone
  // mapping, about, thanks, release notes, new folder, histogram, response plot,
  // calibration, help, response entry, exposure fusion, HDR display; the main window last.
  g_create_hdr_dialog = new CreateHDRDialogDrv(450, 445, "Create HDR");
  g_progress_dialog = new ProgressDialog(420, 115, "Progress");
  g_image_info_dialog = new ImageInfoDialog(485, 405, "Image Info");
  g_image_stats_dialog = new ImageStatsDialog(375, 405, "Image Stats");
  g_preferences_dialog = new PreferencesDlg(550, 385, "Preferences");  // also the gamma source
  g_rename_dialog = new RenameDlgDrv(455, 145, "Rename File");
  g_resize_dialog = new ResizeDlgDrv(390, 295, "Resize Image");
  g_crop_dialog = new CropDlgDrv(365, 235, "Crop Image");
  g_tonemap_dialog = new TonemapPhotDlgDrv(580, 350, "Tonemap Image");
  g_about_dialog = new AboutDlg(418, 300, "About veltrum");
  g_thanks_dialog = new ThanksToDlg(385, 345, "Thanks To");
  g_release_notes_dialog = new ReleaseNotesDlg(385, 345, "Release Notes");
  g_new_folder_dialog = new NewFolderDlgDrv(400, 130, "Create New Directory");
  g_histogram_dialog = new HistDlg(525, 220, "Histogram");
  g_plot_dialog = new PlotDlg(290, 375, "Camera Response");
  g_calibrate_dialog = new CalibrateDlgDrv(490, 125, "Calibrate Image");
  g_help_dialog = new Fl_Help_Dialog;
  g_enter_response_dialog = new EnterResponseDlgDrv(465, 425, "Enter Camera Response");
  g_fusion_dialog = new ExposureFusionDialogDrv(295, 210, "Exposure Fusion");
  g_hdr_display_window = new OglWindow;
  g_main_window = new MainWindowDrv(920, 600, "veltrum");

  // Started from a launcher or another folder, the working folder holds no help page.
  g_help_dialog->load(find_data_file("help.html", help_folders()).c_str());
  Fl_File_Chooser::show_label = "Type:";
  g_save_as_chooser = new SaveAsChooser(k_save_as_filter);
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

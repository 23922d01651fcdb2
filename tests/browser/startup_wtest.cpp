// The whole start-up under the X server. Each case runs the program's start in a child
// process of its own (start-up creates its windows once per process) with its own HOME,
// checks what it must, and ends through Quit, whose exit code 0 the parent checks.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Icon.H>
#include <FL/Fl_Help_Dialog.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/x.H>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "browser/dir_view.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"
#include "browser/startup.h"
#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/display_convert.h"
#include "core/display_gamma.h"
#include "core/event_pump.h"
#include "core/file_names.h"
#include "core/preferences_dlg.h"
#include "hdr/calibrate_dlg_drv.h"
#include "hdr/enter_response_dlg.h"
#include "hdr/exposure_fusion_dialog_drv.h"
#include "hdr/plot_dlg.h"
#include "hdr/progress_dialog.h"
#include "hdr/tonemap_phot_dlg_drv.h"
#include "resources/embedded.h"
#include "tests/support/png_fixture.h"
#include "tests/support/rgbe_bytes.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/hist_dlg.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_info_dialog.h"
#include "viewer/image_stats_dialog.h"
#include "viewer/ogl_window.h"

namespace {

// A failed check in the child: the message reaches the parent's report.
void require(bool ok, const std::string& what) {
  if (ok) return;
  std::fprintf(stderr, "child check failed: %s\n", what.c_str());
  std::fflush(stderr);
  std::_Exit(1);
}

// A HOME of the test's own, the same path in the parent and in the child, which runs the
// test body again up to the statement.
std::string test_home() {
  const char* base = std::getenv("VELTRUM_TEST_BASE_HOME");
  if (!base) {
    setenv("VELTRUM_TEST_BASE_HOME", std::getenv("HOME"), 1);
    base = std::getenv("VELTRUM_TEST_BASE_HOME");
  }
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  const std::string home = std::string(base) + "/" + name;
  std::filesystem::create_directories(home);
  setenv("HOME", home.c_str(), 1);
  return home;
}

std::string user_data(const std::string& home) { return home + "/.fltk/veltrum.org/veltrum/"; }

std::string embedded_bytes(const char* name) {
  const Embedded_file* f = find_embedded_file(name);
  return f ? std::string(reinterpret_cast<const char*>(f->data), f->size) : std::string();
}

// Lets the event loop run a while, as the program does after start-up.
void run_loop_briefly() {
  for (int i = 0; i < 10; ++i) Fl::wait(0.02);
}

void quit_program() {
  require(g_main_window != nullptr, "main window exists at the end");
  g_main_window->quit();
  require(false, "Quit returned");
}

class Start_up : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// The width of the first picture in the window's _NET_WM_ICON property (0: none).
long window_icon_size(Fl_Window* window) {
  const Atom icon = XInternAtom(fl_display, "_NET_WM_ICON", False);
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(fl_display, fl_xid(window), icon, 0, 2, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) != Success ||
      !data)
    return 0;
  const long width = count >= 2 ? reinterpret_cast<long*>(data)[0] : 0;
  const long height = count >= 2 ? reinterpret_cast<long*>(data)[1] : 0;
  XFree(data);
  return width == height ? width : -1;
}

bool g_timeout_ran = false;
void mark_timeout(void*) { g_timeout_ran = true; }

void child_without_arguments() {
  Scripted_messages messages;
  char program[] = "veltrum";
  char* argv[] = {program, nullptr};
  start_program(1, argv);
  run_loop_briefly();
  require(g_main_window && g_main_window->shown(), "main window shown");
  require(Fl::first_window() == g_main_window && !Fl::next_window(g_main_window),
          "no other window shown");
  require(std::string(g_main_window->label()) == "veltrum", "title");
  require(g_main_window->w() == 920 && g_main_window->h() == 600, "size");
  require(Fl::scheme() && std::string(Fl::scheme()) == "gtk+", "scheme");
  require(std::string(Fl_File_Chooser::show_label) == "Type:", "chooser label");
  require(g_directory_chooser != nullptr, "directory chooser");
  require(std::string(g_directory_chooser->label()) == "Select directory...",
          "directory chooser title");
  require(g_directory_chooser->type() == Fl_File_Chooser::DIRECTORY, "directory chooser type");
  require(g_help_dialog != nullptr, "help dialog");
  require(g_progress_dialog && g_progress_dialog->w() == 420 && g_progress_dialog->h() == 115 &&
              std::string(g_progress_dialog->label()) == "Progress" && !g_progress_dialog->shown(),
          "progress dialog built and hidden");
  require(g_fusion_dialog && g_fusion_dialog->w() == 295 && g_fusion_dialog->h() == 210 &&
              std::string(g_fusion_dialog->label()) == "Exposure Fusion" &&
              !g_fusion_dialog->shown(),
          "exposure fusion dialog built and hidden");
  require(g_preferences_dialog && g_preferences_dialog->w() == 550 &&
              g_preferences_dialog->h() == 385 &&
              std::string(g_preferences_dialog->label()) == "Preferences" &&
              !g_preferences_dialog->shown(),
          "preferences dialog built and hidden");
  require(g_image_info_dialog && g_image_info_dialog->w() == 485 &&
              g_image_info_dialog->h() == 405 &&
              std::string(g_image_info_dialog->label()) == "Image Info" &&
              !g_image_info_dialog->shown(),
          "image info dialog built and hidden");
  require(g_image_stats_dialog && g_image_stats_dialog->w() == 375 &&
              g_image_stats_dialog->h() == 405 &&
              std::string(g_image_stats_dialog->label()) == "Image Stats" &&
              !g_image_stats_dialog->shown(),
          "image stats dialog built and hidden");
  require(g_histogram_dialog && g_histogram_dialog->w() == 525 && g_histogram_dialog->h() == 220 &&
              std::string(g_histogram_dialog->label()) == "Histogram" &&
              !g_histogram_dialog->shown(),
          "histogram dialog built and hidden");
  require(g_plot_dialog && g_plot_dialog->w() == 290 && g_plot_dialog->h() == 375 &&
              std::string(g_plot_dialog->label()) == "Camera Response" && !g_plot_dialog->shown(),
          "response plot built and hidden");
  require(g_enter_response_dialog && g_enter_response_dialog->w() == 465 &&
              g_enter_response_dialog->h() == 425 &&
              std::string(g_enter_response_dialog->label()) == "Enter Camera Response" &&
              !g_enter_response_dialog->shown(),
          "response entry dialog built and hidden");
  require(g_calibrate_dialog && g_calibrate_dialog->w() == 490 && g_calibrate_dialog->h() == 125 &&
              std::string(g_calibrate_dialog->label()) == "Calibrate Image" &&
              !g_calibrate_dialog->shown() && g_calibrate_dialog->modal(),
          "calibration dialog built and hidden");
  require(g_tonemap_dialog && g_tonemap_dialog->w() == 580 && g_tonemap_dialog->h() == 350 &&
              std::string(g_tonemap_dialog->label()) == "Tonemap Image" &&
              !g_tonemap_dialog->shown(),
          "tone-mapping dialog built and hidden");
  require(g_hdr_display_window && g_hdr_display_window->x() == 295 &&
              g_hdr_display_window->y() == 210 && g_hdr_display_window->w() == 640 &&
              g_hdr_display_window->h() == 480 &&
              std::string(g_hdr_display_window->label()) ==
                  "Move this window to the HDR monitor and press F" &&
              !g_hdr_display_window->shown() && !g_hdr_display_window->image(),
          "HDR display window built, hidden and without an image");
  // The stored gamma reaches the display conversion through the dialog.
  require(display_gamma() == 1.8f && g_preferences_dialog->gamma() == 1.8f,
          "stored gamma: " + std::to_string(display_gamma()) + " " +
              std::to_string(g_preferences_dialog->gamma()));
  require(g_generic_image_icon && g_generic_image_icon->w() == 64 &&
              g_generic_image_icon->h() == 64 && g_generic_image_icon->d() == 4,
          "placeholder thumbnail 64 x 64 RGBA");
  require(messages.alerts.empty(), "no alert");
  require(window_icon_size(g_main_window) == 48, "window icon of 48 x 48 pixels");
  // On a first run only these items are active.
  const std::vector<std::string> active = {"&File/&Quit",
                                           "&Edit/Preferences...",
                                           "&View/Go Up",
                                           "&View/Synchronize Location",
                                           "&View/Show Hidden Folders",
                                           "&Help/Help...",
                                           "&Help/About..."};
  std::vector<std::string> found;
  char path[1024];
  const Fl_Menu_Item* menu = g_menu_bar->menu();
  for (int i = 0; i < g_menu_bar->size(); ++i) {
    const Fl_Menu_Item& item = menu[i];
    if (!item.label() || item.submenu()) continue;
    if (!item.active() || g_menu_bar->item_pathname(path, sizeof path, &item) != 0) continue;
    found.push_back(path);
  }
  require(found == active, "active items on a first run");
  // The event pump is the toolkit's.
  Fl::add_timeout(0, mark_timeout);
  pump_events();
  require(g_timeout_ran, "pump_events runs the event loop");
  g_menu_bar->picked(g_menu_bar->find_item("&Edit/Preferences..."));
  require(g_preferences_dialog->shown(), "Preferences... shows the dialog");
  g_preferences_dialog->hide();
  g_menu_bar->picked(g_menu_bar->find_item("&Help/Help..."));
  require(g_help_dialog->visible(), "Help... shows the help dialog");
  g_help_dialog->hide();
  // Folders in every file browser show the program's folder icon.
  Fl_File_Icon* folder_icon = Fl_File_Icon::find("/", Fl_File_Icon::DIRECTORY);
  require(folder_icon && std::string(folder_icon->pattern()).empty() && folder_icon->size() > 0,
          "folder icon registered and loaded");
  // A press on a viewer's image in calibration mode reaches the calibration dialog.
  ImageDialogDrv* viewer = open_test_viewer(make_test_image(8, 8, k_type_exr,
                                                            [](uint32_t, uint32_t) {
                                                              return Rgb{1.f, 1.f, 1.f};
                                                            }),
                                            "c.exr");
  require(start_calibration(*viewer, 3, 2) && g_calibrate_dialog->shown() &&
              g_calibrate_dialog->pixel_x() == 3 && g_calibrate_dialog->pixel_y() == 2,
          "calibration starts in the program's dialog");
  g_calibrate_dialog->hide();
  quit_program();
}

TEST_F(Start_up, WithoutArgumentsShowsOnlyTheMainWindow) {
  const std::string home = test_home();
  std::filesystem::create_directories(home + "/.fltk/veltrum.org");
  write_file_bytes(home + "/.fltk/veltrum.org/veltrum.prefs",
                   "; FLTK preferences file format 1.0\n[.]\n\n[./Preferences]\nGamma:1.8\n");
  EXPECT_EXIT(child_without_arguments(), ::testing::ExitedWithCode(0), "");
  // Both icons were written from the program's own bytes.
  EXPECT_EQ(read_file_bytes(user_data(home) + "folder.png"), embedded_bytes("folder.png"));
  EXPECT_EQ(read_file_bytes(user_data(home) + "image-x-generic.png"),
            embedded_bytes("image-x-generic.png"));
}

// The thumbnails fix their gamma table at their first picture, which the main window
// makes as it opens the last folder: the preferences dialog, the gamma's source, must be
// there before it.
void child_last_folder_with_hdr_picture() {
  Scripted_messages messages;
  char program[] = "veltrum";
  char* argv[] = {program, nullptr};
  start_program(1, argv);
  require(g_icon_view && g_icon_view->icons.size() == 1, "the last folder's picture has a tile");
  const std::unique_ptr<Hdr_image> grey =
      make_test_image(1, 1, k_type_rgbe, [](uint32_t, uint32_t) {
        return Rgb{5000.f, 5000.f, 5000.f};
      });
  uint8_t shown[3] = {0, 0, 0};
  to_display_rgb8_interleaved(shown, *grey, k_type_rgbe);
  require(shown[0] == gamma_table_entry(5000, 1.8f),
          "thumbnails use the stored gamma: " + std::to_string(shown[0]));
  require(messages.alerts.empty(), "no alert");
  quit_program();
}

TEST_F(Start_up, PreferencesComeBeforeTheMainWindowsFirstThumbnails) {
  const std::string home = test_home();
  const std::string pictures = home + "/pictures/";
  std::filesystem::create_directories(pictures);
  write_file_bytes(
      pictures + "scene.hdr",
      rgbe_file(4, 4, std::vector<Rgbe_pixel>(16, rgbe_from_float(1.f, .5f, .25f)), false));
  std::filesystem::create_directories(home + "/.fltk/veltrum.org");
  write_file_bytes(home + "/.fltk/veltrum.org/veltrum.prefs",
                   "; FLTK preferences file format 1.0\n[.]\n\n[./Preferences]\nGamma:1.8\n\n"
                   "[./LastVisitedDir]\nLVD:" +
                       pictures + "\n");
  EXPECT_EXIT(child_last_folder_with_hdr_picture(), ::testing::ExitedWithCode(0), "");
}

// Started in a folder that holds the help page, the help dialog shows that page.
void child_help_in_working_folder(const std::string& home) {
  Scripted_messages messages;
  std::filesystem::current_path(home);
  char program[] = "veltrum";
  char* argv[] = {program, nullptr};
  start_program(1, argv);
  const char* page = g_help_dialog->value();
  require(page && std::string(page).find("working-folder help page") != std::string::npos,
          std::string("the working folder's help page: ") + (page ? page : "(none)"));
  quit_program();
}

TEST_F(Start_up, HelpPageIsReadFromTheWorkingFolderFirst) {
  const std::string home = test_home();
  write_file_bytes(home + "/help.html",
                   "<html><body><p>working-folder help page</p></body></html>\n");
  EXPECT_EXIT(child_help_in_working_folder(home), ::testing::ExitedWithCode(0), "");
}

void child_icon_already_there() {
  char program[] = "veltrum";
  char* argv[] = {program, nullptr};
  start_program(1, argv);
  quit_program();
}

TEST_F(Start_up, AnIconFileAlreadyThereKeepsItsBytes) {
  const std::string home = test_home();
  std::filesystem::create_directories(user_data(home));
  // A picture of the user's own, a valid 16 x 16 PNG but not the program's.
  std::vector<uint8_t> pixels(16 * 16 * 4, 200);
  Png_layout layout;
  layout.width = layout.height = 16;
  layout.channels = 4;
  write_png(user_data(home) + "folder.png", layout, pixels.data());
  const std::string mine = read_file_bytes(user_data(home) + "folder.png");
  ASSERT_NE(mine, embedded_bytes("folder.png"));
  EXPECT_EXIT(child_icon_already_there(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(read_file_bytes(user_data(home) + "folder.png"), mine);
  EXPECT_EQ(read_file_bytes(user_data(home) + "image-x-generic.png"),
            embedded_bytes("image-x-generic.png"));
  // Quit stored the browser state in the preferences file.
  EXPECT_NE(read_file_bytes(home + "/.fltk/veltrum.org/veltrum.prefs").find("LVD"),
            std::string::npos);
}

struct Bad_file {
  const char* name;
  const char* bytes;  // nullptr: the file does not exist
};

class Bad_command_line_file : public Start_up, public ::testing::WithParamInterface<Bad_file> {};

void child_bad_file(const std::string& path) {
  Scripted_messages messages;
  char program[] = "veltrum";
  std::vector<char> arg(path.begin(), path.end());
  arg.push_back('\0');
  char* argv[] = {program, arg.data(), nullptr};
  start_program(2, argv);
  run_loop_briefly();
  require(messages.alerts.size() == 1, "one alert");
  require(!messages.alerts[0].empty(), "the alert says something");
  require(g_main_window && g_main_window->shown(), "main window still shown");
  run_loop_briefly();
  quit_program();
}

// Whatever the reader throws, the user sees one alert and the program runs on.
TEST_P(Bad_command_line_file, GivesAnAlertAndTheProgramRunsOn) {
  test_home();
  const Bad_file& bad = GetParam();
  const std::string folder = std::string(std::getenv("HOME")) + "/pictures/";
  std::filesystem::create_directories(folder);
  const std::string path = folder + bad.name;
  if (bad.bytes) write_file_bytes(path, bad.bytes);
  EXPECT_EXIT(child_bad_file(path), ::testing::ExitedWithCode(0), "");
}

const Bad_file k_bad_files[] = {
    {"broken.png", "\x89PNG\r\n\x1a\nnot really a png at all"},
    {"broken.jpg", "\xff\xd8\xff\xe0 not a jpeg either"},
    {"empty.png", ""},
    {"broken.hdr", "#?RADIANCE\nFORMAT=nonsense\n"},
    {"missing.png", nullptr},
};

std::string bad_name(const ::testing::TestParamInfo<Bad_file>& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c)
    name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Files, Bad_command_line_file, ::testing::ValuesIn(k_bad_files), bad_name);

void child_first_argument_only(const std::string& home) {
  Scripted_messages messages;
  std::filesystem::current_path(home);
  char program[] = "veltrum";
  char first[] = "first.hdr";
  char second[] = "second.hdr";
  char* argv[] = {program, first, second, nullptr};
  start_program(3, argv);
  require(messages.alerts.size() == 1, "one alert, for the first file only");
  require(messages.alerts[0].find(home + "/first.hdr") != std::string::npos,
          "the alert names the absolute path: " + messages.alerts[0]);
  quit_program();
}

TEST_F(Start_up, OnlyTheFirstArgumentIsOpenedAndRelativePathsAreMadeAbsolute) {
  const std::string home = test_home();
  write_file_bytes(home + "/first.hdr", "#?RADIANCE\n");
  write_file_bytes(home + "/second.hdr", "#?RADIANCE\n");
  EXPECT_EXIT(child_first_argument_only(home), ::testing::ExitedWithCode(0), "");
}

}  // namespace

namespace {

void child_readable_image(const std::string& path) {
  Scripted_messages messages;
  char program[] = "veltrum";
  std::vector<char> arg(path.begin(), path.end());
  arg.push_back('\0');
  char* argv[] = {program, arg.data(), nullptr};
  start_program(2, argv);
  run_loop_briefly();
  require(messages.alerts.empty(), "no alert for a readable image");
  require(g_main_window && g_main_window->shown(), "main window shown");
  std::string folder, name;
  split_path(path, folder, name);
  require(g_dir_view && g_dir_view->current_dir() == folder,
          "the browser shows the image's folder: " + (g_dir_view ? g_dir_view->current_dir() : ""));
  const Fl_Menu_Item* recent = g_menu_bar->find_item("&File/Recent Directories");
  require(recent && recent->active(), "recent folders active");
  bool listed = false;
  for (const Fl_Menu_Item* m = recent + 1; m && m->label(); m = m->next())
    listed = listed || folder == m->label();
  require(listed, "the folder is among the recent folders");
  quit_program();
}

TEST_F(Start_up, AReadableImageOpensWithoutAlert) {
  const std::string home = test_home();
  std::vector<uint8_t> pixels(8 * 6 * 3, 90);
  Png_layout layout;
  layout.width = 8;
  layout.height = 6;
  layout.channels = 3;
  std::filesystem::create_directories(home + "/pics");
  write_png(home + "/pics/fine.png", layout, pixels.data());
  EXPECT_EXIT(child_readable_image(home + "/pics/fine.png"), ::testing::ExitedWithCode(0), "");
}

}  // namespace

namespace {

// The program itself, built beside the test folder.
std::string program_path() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path().string() +
         "/veltrum";
}

// The real program, started on a file it cannot read, is still running a while later
// (showing its alert) instead of having ended.
TEST_F(Start_up, TheProgramRunsOnAfterAnUnreadableArgument) {
  const std::string home = test_home();
  const std::string program = program_path();
  ASSERT_TRUE(std::filesystem::exists(program)) << program;
  const std::string bad = home + "/broken.jpg";
  write_file_bytes(bad, "\xff\xd8\xff\xe0 not a jpeg");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(program.c_str(), program.c_str(), bad.c_str(), static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  int status = 0;
  pid_t done = 0;
  for (int i = 0; i < 30 && done == 0; ++i) {
    usleep(100 * 1000);
    done = waitpid(child, &status, WNOHANG);
  }
  EXPECT_EQ(done, 0) << "the program ended, status " << status;
  if (done == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
}

}  // namespace

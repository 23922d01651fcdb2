// The program's one-instance windows and widgets, each reached through one global
// pointer. Start-up fills the dialogs in creation order; the main window's builder fills
// its widgets. They live in the core library so that every library can reach them.
#pragma once
#include <vector>

class Fl_Window;
class Fl_Menu_Bar;
class Fl_Box;
class Fl_Progress;
class Fl_Help_Dialog;
class Fl_File_Chooser;
class Fl_RGB_Image;
class Fl_PNG_Image;
class MainWindowDrv;
class ProgressDialog;
class Preferences;

/// Closed viewer and full-screen windows awaiting deletion by the next viewer; each at
/// most once. Windows still in it at exit are not deleted.
extern std::vector<Fl_Window*> g_closed_viewers;
/// The About picture: 420 x 315 RGBA over pixels stored in the program (not owned).
extern Fl_RGB_Image g_about_picture;

/// The settings store; g_preferences (core/preferences.h) points to it. Its destruction at
/// exit writes the preferences file when anything changed.
extern Preferences g_preferences_store;

// Dialogs and windows, in creation order.
extern Fl_Help_Dialog* g_help_dialog;
extern MainWindowDrv* g_main_window;
extern Fl_File_Chooser* g_directory_chooser;
/// The progress window of HDR creation, response recovery and exposure fusion.
extern ProgressDialog* g_progress_dialog;

/// The placeholder picture a thumbnail tile shows until its thumbnail is loaded.
extern Fl_PNG_Image* g_generic_image_icon;

// Widgets of the main window, filled by its builder.
extern Fl_Menu_Bar* g_menu_bar;
extern Fl_Box* g_status_text;
extern Fl_Progress* g_status_progress;

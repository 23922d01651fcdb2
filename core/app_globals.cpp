// The global pointers of the program's one-instance windows and widgets (see the header).
#include "core/app_globals.h"

Fl_Help_Dialog* g_help_dialog = nullptr;
MainWindowDrv* g_main_window = nullptr;
Fl_File_Chooser* g_directory_chooser = nullptr;
ProgressDialog* g_progress_dialog = nullptr;

Fl_PNG_Image* g_generic_image_icon = nullptr;

Fl_Menu_Bar* g_menu_bar = nullptr;
Fl_Box* g_status_text = nullptr;
Fl_Progress* g_status_progress = nullptr;

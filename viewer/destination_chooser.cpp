// The batch dialogs' destination browse (see the header).
#include "viewer/destination_chooser.h"

#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Input.H>

#include <cstring>
#include <string>

#include "core/app_globals.h"
#include "viewer/viewer_links.h"

void show_directory_chooser(void (*callback)(Fl_File_Chooser*, void*), void* data) {
  Fl_File_Chooser* chooser = g_directory_chooser;
  if (!chooser) return;
  const std::string folder = browser_current_folder();
  chooser->directory(folder.empty() ? "." : folder.c_str());
  chooser->callback(callback, data);
  chooser->show();
}

bool take_chosen_directory(Fl_File_Chooser* chooser, Fl_Input* destination) {
  // The chooser also calls back while the user moves through its list.
  if (!chooser || !destination || chooser->shown()) return false;
  const char* chosen = chooser->value(1);
  if (!chosen || std::strstr(chosen, "..")) return false;
  destination->value(chosen);
  return true;
}

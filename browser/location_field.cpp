// The location field.
#include "browser/location_field.h"

#include <FL/Fl.H>

#include <string>

#include "browser/dir_view.h"
#include "browser/folder_paths.h"
#include "core/messages.h"
#include "core/platform.h"

Location_field* g_location_field = nullptr;

Location_field::Location_field(int x, int y, int w, int h, const char* label)
    : Fl_Input(x, y, w, h, label) {}

int Location_field::handle(int event) {
  const int handled = Fl_Input::handle(event);
  if (event == FL_KEYDOWN && Fl::event_key() == FL_Enter) {
    go_to_typed_path();
    return 1;
  }
  return handled;
}

void Location_field::go_to_typed_path() {
  Dir_view* view = m_target ? m_target : g_dir_view;
  const std::string typed = value() ? value() : "";
  if (typed.empty() || !view) return;
  const std::string folder = resolve_typed_path(typed, platform::working_dir());
  if (!platform::can_list_dir(folder)) {
    show_message("Location: " + folder +
                 " does not exist!\nOr you do not have permission to browse into this "
                 "directory.");
    return;
  }
  view->add_recent_folder(folder);
  view->go_to(folder, true, true);
}

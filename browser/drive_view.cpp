// The drive list.
#include "browser/drive_view.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Icon.H>

#include "browser/dir_view.h"
#include "core/embedded_icons.h"
#include "resources/embedded.h"

Drive_view* g_drive_view = nullptr;

namespace {

const char* icon_file(Drive_kind kind) {
  switch (kind) {
    case Drive_kind::removable:
      return "drive-removable-media.png";
    case Drive_kind::network:
      return "folder-remote.png";
    case Drive_kind::optical:
      return "gnome-dev-dvd.png";
    case Drive_kind::desktop:
      return "gnome-fs-desktop.png";
    case Drive_kind::documents:
      return "gnome-fs-home.png";
    case Drive_kind::fixed:
      break;
  }
  return "gnome-dev-harddisk.png";
}

// Every Fl_File_Icon joins the toolkit's list that file browsers and choosers search by
// pattern; an empty pattern matches no file name, so these icons stay in this list.
std::unique_ptr<Fl_File_Icon> make_icon(Drive_kind kind) {
  auto icon = std::make_unique<Fl_File_Icon>("", Fl_File_Icon::PLAIN);
  if (const Embedded_file* file = find_embedded_file(icon_file(kind)))
    load_embedded_file_icon(icon.get(), file->name, file->data, file->size);
  return icon;
}

}  // namespace

Drive_view::Drive_view(int x, int y, int w, int h) : Fl_File_Browser(x, y, w, h) {
  column_char('\0');  // a tab in a label is not a column break
  end();
  fill(system_drive_entries());
}

Drive_view::~Drive_view() {
  // The lines point at the icons.
  clear();
}

void Drive_view::fill(const std::vector<Drive_entry>& entries) {
  clear();
  m_folders.clear();
  m_icons.clear();
  for (const Drive_entry& entry : entries) {
    if (m_folders.count(entry.label)) continue;
    m_icons.push_back(make_icon(entry.kind));
    add(entry.label.c_str(), m_icons.back().get());
    m_folders[entry.label] = entry.folder;
  }
}

int Drive_view::handle(int event) {
  const int handled = Fl_File_Browser::handle(event);
  if (Fl::event_inside(this) && Fl::event_is_click() && Fl::event_clicks() == 1 && value() >= 1) {
    Fl::event_clicks(-1);
    select();
    return 1;
  }
  return handled;
}

void Drive_view::select() {
  Dir_view* view = m_target ? m_target : g_dir_view;
  if (!view || value() < 1 || !text(value())) return;
  const std::string folder = folder_of(text(value()));
  if (folder.empty()) return;
  view->add_recent_folder(folder);
  view->go_to(folder, true, true);
}

std::string Drive_view::folder_of(const std::string& label) const {
  const auto found = m_folders.find(label);
  return found == m_folders.end() ? std::string() : found->second;
}

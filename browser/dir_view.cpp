// The folder list.
#include "browser/dir_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_.H>
#include <FL/Fl_Preferences.H>
#include <FL/filename.H>

#include <cstdlib>

#include "browser/browser_state.h"
#include "browser/folder_paths.h"
#include "core/log.h"
#include "core/messages.h"
#include "core/platform.h"

Dir_view* g_dir_view = nullptr;

namespace {

constexpr const char* k_recent_menu = "&File/Recent Directories";

}  // namespace

Dir_view::Dir_view(int x, int y, int w, int h) : Fl_File_Browser(x, y, w, h) {
  filetype(Fl_File_Browser::DIRECTORIES);
  // A tab in a folder name is part of the name, not a column break.
  column_char('\0');
  end();
}

Dir_view::~Dir_view() { forget_menu(); }

void Dir_view::attach(Fl_Menu_* menu, Fl_Input* location) {
  forget_menu();
  m_menu_widget = menu;
  if (m_menu_widget) Fl::watch_widget_pointer(m_menu_widget);
  m_location = location;
  rebuild_recent_menu();
  if (!m_recent.empty()) set_item_active(k_recent_menu, true);
}

void Dir_view::forget_menu() {
  if (!m_menu_widget) return;
  // The items point at this view and at its label texts.
  auto* menu = static_cast<Fl_Menu_*>(m_menu_widget);
  const int sub = menu->find_index(k_recent_menu);
  if (sub >= 0) menu->clear_submenu(sub);
  Fl::release_widget_pointer(m_menu_widget);
  m_menu_widget = nullptr;
  m_menu_labels.clear();
}

void Dir_view::read_recent(Fl_Preferences& root) {
  for (const std::string& folder : read_recent_dirs(root)) add_recent_folder(folder);
  if (!m_recent.empty()) set_item_active(k_recent_menu, true);
}

bool Dir_view::restore_last_folder(Fl_Preferences& root) {
  const std::optional<std::string> folder = read_last_folder(root);
  if (!folder) return false;
  add_recent_folder(*folder);
  go_to(*folder, true, true);
  return true;
}

void Dir_view::save_state(Fl_Preferences& root) const {
  write_browser_state(root, m_current, m_recent.entries());
}

int Dir_view::load(const std::string& folder) {
  m_listed = folder;
  m_current = folder;
  int count = Fl_File_Browser::load(m_listed.c_str(), fl_numericsort);
  if (!toggle_on("&View/Show Hidden Folders", false)) {
    for (int line = size(); line >= 1; --line) {
      const char* name = text(line);
      if (name && name[0] == '.' && std::string(name) != "../") {
        remove(line);
        --count;
      }
    }
  }
  return count;
}

void Dir_view::go_to(std::string folder, bool scan, bool record) {
  folder = folder_path(folder);
  if (m_location && toggle_on("&View/Synchronize Location", true))
    m_location->value(folder.c_str());
  load(folder);
  // The remembered line belongs to the listing just replaced.
  m_selected.clear();
  set_item_active("&File/Delete Directory", false);
  set_item_active("&File/New Directory...", true);
  set_item_active(k_recent_menu, true);
  if (scan && m_scan) {
    // The scan pumps events, which may replace m_scan or move to another folder.
    const Scan_fn run = m_scan;
    run(folder);
  }
  set_item_active("&View/Refresh", true);
  if (record) m_history.record(m_current);
  update_history_items();
}

void Dir_view::add_recent_folder(const std::string& folder) {
  if (m_recent.add(folder_path(folder))) rebuild_recent_menu();
}

void Dir_view::go_backward() {
  const std::optional<std::string> folder = m_history.back();
  if (folder) go_to(*folder, true, false);
}

void Dir_view::go_forward() {
  const std::optional<std::string> folder = m_history.forward();
  if (folder) go_to(*folder, true, false);
}

void Dir_view::go_up() {
  if (m_current.empty()) return;
  const std::string parent = parent_folder(m_current);
  add_recent_folder(parent);
  go_to(parent, true, true);
}

void Dir_view::refresh(bool record) {
  const std::string folder = m_current;
  go_to(folder, true, record);
}

void Dir_view::open_selected() {
  set_item_active("&File/Delete Directory", false);
  if (value() < 1 || !text(value())) return;
  const std::string line = text(value());
  const std::string folder = line == "../" ? parent_folder(m_current) : m_current + line;
  add_recent_folder(folder);
  go_to(folder, true, true);
}

void Dir_view::select_line() {
  if (value() < 1 || !text(value())) return;
  const std::string line = text(value());
  set_item_active("&File/Delete Directory", line != "../");
  m_selected = m_current + line;
}

int Dir_view::handle(int event) {
  const int handled = Fl_File_Browser::handle(event);
  if (!Fl::event_inside(this) || !Fl::event_is_click()) return handled;
  if (Fl::event_clicks() == 1 && value() > 0) {
    Fl::event_clicks(-1);
    open_selected();
    return 1;
  }
  if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE) {
    if (value() < 1)
      set_item_active("&File/Delete Directory", false);
    else
      select_line();
    return 1;
  }
  return handled;
}

void Dir_view::open_recent(Fl_Widget* widget, void* data) {
  auto* menu = static_cast<Fl_Menu_*>(widget);
  auto* view = static_cast<Dir_view*>(data);
  if (!menu || !view || !menu->mvalue()) return;
  // The items follow the recent list one to one, so the picked item's place in the
  // submenu names the folder; its label is only what is shown.
  const int sub = menu->find_index(k_recent_menu);
  const int picked = menu->find_index(menu->mvalue());
  const std::vector<std::string>& recent = view->m_recent.entries();
  if (sub < 0 || picked <= sub || picked - sub - 1 >= static_cast<int>(recent.size())) return;
  const std::string folder = recent[picked - sub - 1];
  if (!platform::can_list_dir(folder)) {
    show_alert("Directory " + folder + " is not accessible!");
    return;
  }
  view->go_to(folder, true, true);
}

void Dir_view::set_item_active(const char* path, bool active) {
  if (!m_menu_widget) return;
  auto* menu = static_cast<Fl_Menu_*>(m_menu_widget);
  auto* item = const_cast<Fl_Menu_Item*>(menu->find_item(path));
  if (!item) {
    log_error("%s", path);
    return;
  }
  if (active)
    item->activate();
  else
    item->deactivate();
}

bool Dir_view::toggle_on(const char* path, bool fallback) const {
  if (!m_menu_widget) return fallback;
  const auto* menu = static_cast<const Fl_Menu_*>(m_menu_widget);
  const int index = menu->find_index(path);
  if (index < 0) {
    log_error("%s", path);
    return fallback;
  }
  return menu->menu()[index].value() != 0;
}

void Dir_view::update_history_items() {
  set_item_active("&View/Go Backward", m_history.can_go_back());
  set_item_active("&View/Go Forward", m_history.can_go_forward());
}

void Dir_view::rebuild_recent_menu() {
  if (!m_menu_widget) return;
  auto* menu = static_cast<Fl_Menu_*>(m_menu_widget);
  const int sub = menu->find_index(k_recent_menu);
  if (sub < 0) {
    log_error("%s", k_recent_menu);
    return;
  }
  // Rebuilt from the list so that every folder is one item, in order. Each item is added
  // under a placeholder and then given its text: the toolkit's menu paths would split a
  // folder at every '/' and take two labels that differ only in '&' for one item.
  const int was_active = menu->menu()[sub].active();
  menu->clear_submenu(sub);
  m_menu_labels.clear();
  const std::vector<std::string>& recent = m_recent.entries();
  for (std::size_t i = 0; i < recent.size(); ++i) {
    const std::string placeholder = std::string(k_recent_menu) + "/" + std::to_string(i);
    const int index = menu->add(placeholder.c_str(), 0, open_recent, this, 0);
    if (index < 0) continue;
    m_menu_labels.push_back(folder_menu_label(recent[i]));
    // A menu copied from a static table keeps the text pointer it is given and frees
    // neither that nor the placeholder's copy; a menu built wholly by add() copies the
    // new text and frees the old one itself.
    char* placeholder_copy = const_cast<char*>(menu->menu()[index].text);
    menu->replace(index, m_menu_labels.back().c_str());
    if (menu->menu()[index].text == m_menu_labels.back().c_str()) std::free(placeholder_copy);
  }
  auto* submenu = const_cast<Fl_Menu_Item*>(&menu->menu()[menu->find_index(k_recent_menu)]);
  if (was_active)
    submenu->activate();
  else
    submenu->deactivate();
}

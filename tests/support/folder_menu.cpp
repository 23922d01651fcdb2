#include "tests/support/folder_menu.h"

namespace {

const Fl_Menu_Item k_items[] = {
    {"&File", 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 14, 0},
    {"New Directory...", 0, nullptr, nullptr, FL_MENU_INACTIVE, 0, 0, 14, 0},
    {"Delete Directory", 0, nullptr, nullptr, FL_MENU_INACTIVE, 0, 0, 14, 0},
    {"Recent Directories", 0, nullptr, nullptr, FL_SUBMENU | FL_MENU_INACTIVE, 0, 0, 14, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"&Quit", 0, nullptr, nullptr, 0, 0, 0, 14, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"&View", 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 14, 0},
    {"Go Backward", 0, nullptr, nullptr, FL_MENU_INACTIVE, 0, 0, 14, 0},
    {"Go Up", 0, nullptr, nullptr, 0, 0, 0, 14, 0},
    {"Go Forward", 0, nullptr, nullptr, FL_MENU_INACTIVE, 0, 0, 14, 0},
    {"Refresh", 0, nullptr, nullptr, FL_MENU_INACTIVE, 0, 0, 14, 0},
    {"Synchronize Location", 0, nullptr, nullptr, FL_MENU_TOGGLE | FL_MENU_VALUE, 0, 0, 14, 0},
    {"Show Hidden Folders", 0, nullptr, nullptr, FL_MENU_TOGGLE, 0, 0, 14, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
};

}  // namespace

Folder_menu::Folder_menu() : Fl_Menu_Bar(0, 0, 400, 25) { copy(k_items); }

bool Folder_menu::active(const char* path) {
  const Fl_Menu_Item* item = find_item(path);
  return item && item->active();
}

void Folder_menu::check(const char* path, bool on) {
  auto* item = const_cast<Fl_Menu_Item*>(find_item(path));
  if (!item) return;
  if (on)
    item->set();
  else
    item->clear();
}

std::vector<std::string> Folder_menu::recent_labels() const {
  std::vector<std::string> labels;
  const int sub = find_index("&File/Recent Directories");
  if (sub < 0) return labels;
  for (const Fl_Menu_Item* item = &menu()[sub + 1]; item->label(); ++item)
    labels.push_back(item->label());
  return labels;
}

const Fl_Menu_Item* Folder_menu::recent_item(int i) const {
  const int sub = find_index("&File/Recent Directories");
  return sub < 0 ? nullptr : &menu()[sub + 1 + i];
}

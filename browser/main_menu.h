// The main menu: one static table of items, and the look-up and switching of items by
// their full path ("&File/Delete Directory").
#pragma once

struct Fl_Menu_Item;

/// The menu as the program starts: every label, shortcut, divider, toggle and initial
/// inactive flag. The menu bar is given a copy.
const Fl_Menu_Item* main_menu_table();

/// The item of the main menu bar with that path; nullptr (and the path on standard error)
/// when there is none or no menu bar.
Fl_Menu_Item* find_menu_item(const char* path);

/// Clears (active true) or sets the item's inactive flag; a missing path is reported as
/// by find_menu_item.
void set_menu_item_active(const char* path, bool active);

/// True while the toggle item's check mark is set; false for a missing path.
bool menu_item_checked(const char* path);

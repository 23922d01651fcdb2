// The main menu table and its callbacks. Each callback forwards to one operation of the
// main window (the menu bar's parent window) or of a global dialog.
#include "browser/main_menu.h"

#include <FL/Fl.H>
#include <FL/Fl_Help_Dialog.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>

#include "browser/about_dlg.h"
#include "browser/dir_view.h"
#include "browser/icon_view.h"
#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/log.h"
#include "core/preferences_dlg.h"

namespace {

MainWindow* owner(Fl_Widget* w) { return w ? dynamic_cast<MainWindow*>(w->window()) : nullptr; }

// One line per menu action; a menu bar outside a main window does nothing.
void cb_open_image(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->open_image();
}
void cb_save_as(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->save_as();
}
void cb_delete_images(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->delete_images();
}
void cb_rename_image(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->rename_image();
}
void cb_new_directory(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->new_directory();
}
void cb_delete_directory(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->delete_directory();
}
void cb_quit(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->quit();
}
void cb_cut(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->cut_copy(false);
}
void cb_copy(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->cut_copy(true);
}
void cb_paste(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->paste();
}
void cb_rotate_left(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->rotate_images(-90);
}
void cb_rotate_right(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->rotate_images(90);
}
void cb_flip_vertical(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->flip_images('y');
}
void cb_flip_horizontal(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->flip_images('x');
}
void cb_resize(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->resize_images();
}
void cb_crop(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->crop_images();
}
void cb_go_backward(Fl_Widget*, void*) {
  if (g_dir_view) g_dir_view->go_backward();
}
void cb_go_up(Fl_Widget*, void*) {
  if (g_dir_view) g_dir_view->go_up();
}
void cb_go_forward(Fl_Widget*, void*) {
  if (g_dir_view) g_dir_view->go_forward();
}
void cb_refresh(Fl_Widget*, void*) {
  if (g_dir_view) g_dir_view->refresh(true);
}
void cb_image_info(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->image_info();
}
void cb_image_stats(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->image_stats();
}
void cb_histogram(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->histogram();
}
void cb_show_on_hdr_display(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->show_on_hdr_display();
}
void cb_tonemap(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->tonemap();
}
void cb_create_hdr(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->create_hdr(false);
}
void cb_batch_create_hdr(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->create_hdr(true);
}
void cb_fuse_exposures(Fl_Widget* w, void*) {
  if (MainWindow* m = owner(w)) m->fuse_exposures();
}

void cb_preferences(Fl_Widget*, void*) {
  if (g_preferences_dialog) g_preferences_dialog->show();
}

void cb_about(Fl_Widget*, void*) {
  if (g_about_dialog) g_about_dialog->show();
}

void cb_select_all(Fl_Widget*, void*) {
  if (g_icon_view) g_icon_view->select_all();
}
void cb_deselect_all(Fl_Widget*, void*) {
  if (g_icon_view) g_icon_view->deselect_all();
}
void cb_invert_selection(Fl_Widget*, void*) {
  if (g_icon_view) g_icon_view->invert_selection();
}

void cb_help(Fl_Widget*, void*) {
  if (g_help_dialog) g_help_dialog->show();
}

constexpr int k_inactive = FL_MENU_INACTIVE;

// Every item in label font 0, size 14; colour 0 takes the menu bar's text colour.
constexpr Fl_Menu_Item item(const char* label, int key, Fl_Callback* cb, int flags) {
  return {label, key, cb, nullptr, flags, FL_NORMAL_LABEL, 0, 14, 0};
}
constexpr Fl_Menu_Item menu(const char* label) { return item(label, 0, nullptr, FL_SUBMENU); }
constexpr Fl_Menu_Item k_end = {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0};

const Fl_Menu_Item k_main_menu[] = {
    menu("&File"),
    item("&Open Image", FL_CTRL + 'o', cb_open_image, k_inactive),
    item("Save As...", FL_CTRL + FL_SHIFT + 's', cb_save_as, k_inactive),
    item("Delete Image", FL_CTRL + FL_SHIFT + FL_BackSpace, cb_delete_images, k_inactive),
    item("Rename Image...", FL_F + 2, cb_rename_image, k_inactive),
    item("New Directory...", FL_CTRL + FL_SHIFT + 'n', cb_new_directory, k_inactive),
    item("Delete Directory", 0, cb_delete_directory, k_inactive),
    item("Recent Directories", 0, nullptr, FL_SUBMENU | k_inactive),
    k_end,
    item("&Quit", FL_CTRL + 'q', cb_quit, 0),
    k_end,
    menu("&Edit"),
    item("Cut", FL_CTRL + 'x', cb_cut, k_inactive),
    item("Copy", FL_CTRL + 'c', cb_copy, k_inactive),
    item("Paste", FL_CTRL + 'v', cb_paste, k_inactive),
    item("Select All", FL_CTRL + 'a', cb_select_all, k_inactive),
    item("Deselect All", 0, cb_deselect_all, k_inactive),
    item("Invert Selection", 0, cb_invert_selection, k_inactive),
    item("Preferences...", 0, cb_preferences, 0),
    k_end,
    menu("&Process"),
    item("Tonemap...", FL_CTRL + 't', cb_tonemap, k_inactive | FL_MENU_DIVIDER),
    item("Create HDR...", FL_CTRL + 'e', cb_create_hdr, k_inactive),
    item("Batch Create HDR...", FL_CTRL + FL_SHIFT + 'e', cb_batch_create_hdr,
         k_inactive | FL_MENU_DIVIDER),
    item("Fuse Exposures...", FL_CTRL + 'f', cb_fuse_exposures, k_inactive),
    k_end,
    menu("&Tools"),
    item("Rotate Left", FL_CTRL + '[', cb_rotate_left, k_inactive),
    item("Rotate Right", FL_CTRL + ']', cb_rotate_right, k_inactive),
    item("Flip Vertical", 0, cb_flip_vertical, k_inactive),
    item("Flip Horizontal", 0, cb_flip_horizontal, k_inactive),
    item("Resize...", FL_CTRL + FL_SHIFT + 'r', cb_resize, k_inactive),
    item("Crop...", FL_CTRL + FL_SHIFT + 'c', cb_crop, k_inactive),
    k_end,
    menu("&View"),
    item("Go Backward", FL_F + 3, cb_go_backward, k_inactive),
    item("Go Up", FL_F + 4, cb_go_up, 0),
    item("Go Forward", FL_F + 6, cb_go_forward, k_inactive),
    item("Refresh", FL_F + 5, cb_refresh, k_inactive),
    item("Image Info...", FL_CTRL + 'i', cb_image_info, k_inactive),
    item("Image Stats...", FL_CTRL + FL_SHIFT + 'i', cb_image_stats, k_inactive),
    item("Histogram...", FL_CTRL + 'h', cb_histogram, k_inactive),
    item("Show on HDR Display", FL_CTRL + ' ', cb_show_on_hdr_display, k_inactive),
    item("Synchronize Location", 0, nullptr, FL_MENU_TOGGLE | FL_MENU_VALUE),
    item("Show Hidden Folders", 0, nullptr, FL_MENU_TOGGLE),
    k_end,
    menu("&Help"),
    item("Help...", 0, cb_help, 0),
    item("About...", 0, cb_about, 0),
    k_end,
    k_end,
};

}  // namespace

const Fl_Menu_Item* main_menu_table() { return k_main_menu; }

Fl_Menu_Item* find_menu_item(const char* path) {
  const Fl_Menu_Item* item = g_menu_bar ? g_menu_bar->find_item(path) : nullptr;
  if (!item) log_error("%s", path);
  // The menu bar holds its own copy of the table, so its items may be changed.
  return const_cast<Fl_Menu_Item*>(item);
}

void set_menu_item_active(const char* path, bool active) {
  if (Fl_Menu_Item* item = find_menu_item(path)) {
    if (active)
      item->activate();
    else
      item->deactivate();
  }
}

bool menu_item_checked(const char* path) {
  const Fl_Menu_Item* item = find_menu_item(path);
  return item && item->value() != 0;
}

// Builds the main window: its look (the dark browser), its widgets and their globals.
#include "browser/main_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Tile.H>

#include "browser/dir_view.h"
#include "browser/drive_view.h"
#include "browser/icon_view.h"
#include "browser/location_field.h"
#include "browser/main_menu.h"
#include "browser/program_pictures.h"
#include "core/app_globals.h"
#include "core/preferences.h"
#include "viewer/image_box_drv.h"

namespace {

// Toolkit colour indices of the dark look.
constexpr Fl_Color k_window_colour = 41;
constexpr Fl_Color k_panel_colour = 36;
constexpr Fl_Color k_grid_colour = 34;
constexpr Fl_Color k_location_selection = 46;

void set_label_look(Fl_Widget* w) {
  w->labelfont(0);
  w->labelsize(14);
}

// The browsing widgets are made by these small functions, one per place; the widget
// classes of the folder list, drive list, location field, thumbnail grid and drop
// target take the places of the plain boxes here, fill their globals and set what only
// their class has (browser type, text colour); the builder sets the shared look.

Fl_Widget* make_location_field(int x, int y, int w, int h) {
  g_location_field = new Location_field(x, y, w, h);
  g_location_field->textcolor(FL_WHITE);
  return g_location_field;
}

Fl_Widget* make_drive_view(int x, int y, int w, int h) {
  g_drive_view = new Drive_view(x, y, w, h);
  g_drive_view->type(FL_HOLD_BROWSER);
  g_drive_view->textcolor(FL_WHITE);
  return g_drive_view;
}

// Made after the menu bar and the location field, which it drives.
Fl_Widget* make_dir_view(int x, int y, int w, int h) {
  g_dir_view = new Dir_view(x, y, w, h);
  g_dir_view->type(FL_HOLD_BROWSER);
  g_dir_view->textcolor(FL_WHITE);
  g_dir_view->attach(g_menu_bar, g_location_field);
  if (g_preferences) g_dir_view->read_recent(*g_preferences);
  return g_dir_view;
}

// Made after the folder list, whose scans it runs.
Fl_Widget* make_icon_view(int x, int y, int w, int h) {
  g_icon_view = new Icon_view(x, y, w, h);
  if (g_dir_view)
    g_dir_view->set_scan([](const std::string& folder) {
      if (!g_icon_view) return;
      g_icon_view->load_directory(folder);
      if (g_icon_view) g_icon_view->redraw();
    });
  return g_icon_view;
}

// The drop target over the grid: dropped files open in viewers.
Fl_Widget* make_drop_box(int x, int y, int w, int h) { return new ImageBoxDrv(x, y, w, h); }

// The drive and folder lists share one look.
void set_list_look(Fl_Widget* w) {
  w->box(FL_DOWN_BOX);
  w->color(k_panel_colour);
  w->selection_color(FL_BACKGROUND_COLOR);
  w->when(FL_WHEN_RELEASE | FL_WHEN_NOT_CHANGED);
  set_label_look(w);
}

void cb_back(Fl_Widget*, void*) {
  if (g_dir_view) g_dir_view->go_backward();
}
void cb_up(Fl_Widget*, void*) {
  if (g_dir_view) g_dir_view->go_up();
}
void cb_forward(Fl_Widget*, void*) {
  if (g_dir_view) g_dir_view->go_forward();
}
// The button lists and scans again without recording a visit; the menu item records one.
void cb_refresh(Fl_Widget*, void*) {
  if (g_dir_view) g_dir_view->refresh(false);
}

Fl_Callback* nav_callback(Nav_button which) {
  switch (which) {
    case Nav_button::back:
      return cb_back;
    case Nav_button::up:
      return cb_up;
    case Nav_button::forward:
      return cb_forward;
    case Nav_button::refresh:
      break;
  }
  return cb_refresh;
}

Fl_Button* make_nav_button(int x, int y, const char* tooltip, Nav_button which) {
  auto* b = new Fl_Button(x, y, 30, 29);
  b->color(k_panel_colour);
  b->tooltip(tooltip);
  set_label_look(b);
  const Button_pictures pictures = nav_button_pictures(which);
  b->image(pictures.active);
  b->deimage(pictures.inactive);
  b->callback(nav_callback(which));
  return b;
}

}  // namespace

MainWindow::MainWindow(int w, int h, const char* title) : Fl_Double_Window(0, 0, w, h, title) {
  force_position(0);
  box(FL_FLAT_BOX);
  color(k_window_colour);
  selection_color(FL_BACKGROUND_COLOR);
  labeltype(FL_NO_LABEL);
  when(FL_WHEN_RELEASE);
  build();
  end();
}

MainWindow::~MainWindow() {
  // The widget globals point into this window; none may outlive it.
  if (g_menu_bar && g_menu_bar->window() == this) g_menu_bar = nullptr;
  if (g_status_text && g_status_text->window() == this) g_status_text = nullptr;
  if (g_status_progress && g_status_progress->window() == this) g_status_progress = nullptr;
  if (g_location_field && g_location_field->window() == this) g_location_field = nullptr;
  if (g_drive_view && g_drive_view->window() == this) g_drive_view = nullptr;
  if (g_dir_view && g_dir_view->window() == this) {
    g_dir_view->set_scan(nullptr);
    g_dir_view = nullptr;
  }
  if (g_icon_view && g_icon_view->window() == this) g_icon_view = nullptr;
}

void MainWindow::resize(int x, int y, int w, int h) { Fl_Double_Window::resize(x, y, w, h); }

void MainWindow::build() {
  g_menu_bar = new Fl_Menu_Bar(0, 0, 920, 25);
  g_menu_bar->box(FL_FLAT_BOX);
  g_menu_bar->color(k_panel_colour);
  g_menu_bar->textcolor(FL_WHITE);
  set_label_look(g_menu_bar);
  // Each window gets its own copy: items are switched on and off in place.
  g_menu_bar->copy(main_menu_table());

  m_status_bar = new Fl_Box(0, 576, 920, 25);
  m_status_bar->box(FL_UP_BOX);
  m_status_bar->color(k_panel_colour);
  set_label_look(m_status_bar);

  g_status_progress = new Fl_Progress(705, 579, 212, 18, "Scanning...");
  g_status_progress->selection_color(FL_BLUE);
  set_label_look(g_status_progress);
  g_status_progress->hide();

  g_status_text = new Fl_Box(2, 579, 208, 17);
  g_status_text->labelcolor(FL_WHITE);
  g_status_text->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  set_label_look(g_status_text);

  m_location_bar = new Fl_Group(0, 25, 920, 31);
  {
    Fl_Widget* field = make_location_field(0, 26, 798, 29);
    field->box(FL_DOWN_BOX);
    field->color(k_panel_colour);
    field->selection_color(k_location_selection);
    field->align(FL_ALIGN_LEFT);
    field->when(FL_WHEN_RELEASE);
    set_label_look(field);
    m_forward = make_nav_button(859, 26, "Next directory", Nav_button::forward);
    m_up = make_nav_button(829, 26, "Up one level", Nav_button::up);
    m_refresh = make_nav_button(890, 26, "Refresh", Nav_button::refresh);
    m_back = make_nav_button(798, 26, "Previous directory", Nav_button::back);
    m_back->selection_color(k_panel_colour);
    m_location_bar->resizable(field);
  }
  m_location_bar->end();

  auto* outer = new Fl_Tile(0, 56, 920, 520);
  {
    auto* left = new Fl_Tile(0, 56, 170, 520);
    left->box(FL_NO_BOX);
    left->color(FL_BACKGROUND_COLOR);
    set_list_look(make_drive_view(0, 56, 170, 131));
    set_list_look(make_dir_view(0, 187, 170, 389));
    left->end();

    auto* right = new Fl_Group(170, 56, 750, 520);
    {
      Fl_Widget* grid = make_icon_view(170, 56, 750, 520);
      grid->box(FL_DOWN_BOX);
      grid->color(k_grid_colour);
      grid->selection_color(FL_BACKGROUND_COLOR);
      grid->when(FL_WHEN_RELEASE);
      set_label_look(grid);
      // Made after the grid so that it receives drag-and-drop first.
      m_drop_box = make_drop_box(170, 56, 750, 520);
      if (m_drop_box) m_drop_box->box(FL_NO_BOX);
    }
    right->end();
  }
  outer->end();
  resizable(outer);
}

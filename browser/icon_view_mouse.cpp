// The grid's selection: clicks, Ctrl and Shift clicks, the rubber band, the popup menu,
// the "&Edit" selection commands, and the menus and status text that follow them.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstdlib>

#include "browser/icon.h"
#include "browser/icon_view.h"
#include "browser/main_menu.h"
#include "browser/main_window_drv.h"
#include "browser/selection_menus.h"
#include "core/app_globals.h"
#include "core/geometry.h"

namespace {

constexpr Fl_Color k_band_colour = 39;

// The actions of the tile popup, in menu order.
enum Tile_action { k_open, k_info, k_stats, k_histogram, k_hdr_display };

const Fl_Menu_Item k_tile_menu[] = {
    {"&Open Image", FL_CTRL + 'o', nullptr, nullptr, 0, 0, 0, 0, 0},
    {"Image Info...", FL_CTRL + 'i', nullptr, nullptr, 0, 0, 0, 0, 0},
    {"Image Stats...", FL_CTRL + FL_SHIFT + 'i', nullptr, nullptr, 0, 0, 0, 0, 0},
    {"Histogram...", FL_CTRL + 'h', nullptr, nullptr, 0, 0, 0, 0, 0},
    {"Show on HDR Display", FL_CTRL + ' ', nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
};

const Fl_Menu_Item k_background_menu[] = {
    {"New Directory...", 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
};

void run_tile_action(int action) {
  MainWindowDrv* window = g_main_window;
  if (!window) return;
  switch (action) {
    case k_open:
      window->open_image();
      break;
    case k_info:
      window->image_info();
      break;
    case k_stats:
      window->image_stats();
      break;
    case k_histogram:
      window->histogram();
      break;
    case k_hdr_display:
      window->show_on_hdr_display();
      break;
    default:
      break;
  }
}

}  // namespace

void Icon_view::draw() {
  Fl_Scroll::draw();
  if (!band_visible) return;
  fl_color(k_band_colour);
  fl_rect(std::min(band_x0, band_x1), std::min(band_y0, band_y1), std::abs(band_x1 - band_x0) + 1,
          std::abs(band_y1 - band_y0) + 1);
}

bool Icon_view::in_scrollbar() const {
  return (scrollbar.visible() && Fl::event_inside(&scrollbar)) ||
         (hscrollbar.visible() && Fl::event_inside(&hscrollbar));
}

int Icon_view::tile_at_mouse() const {
  for (size_t i = 0; i < icons.size(); ++i)
    if (Fl::event_inside(icons[i])) return int(i);
  return -1;
}

void Icon_view::add_to_selection(Icon* tile) {
  if (std::find(selection.begin(), selection.end(), tile) == selection.end())
    selection.push_back(tile);
}

void Icon_view::clear_selection() {
  for (Icon* tile : icons) tile->deselect();
  selection.clear();
}

int Icon_view::handle(int event) {
  Busy_tiles busy(*this);
  // A click in the grid takes the keyboard from the location field: Delete and '+' are
  // meant for the tiles then, not for the path text.
  if (event == FL_PUSH && Fl::focus() != this) Fl::focus(this);
  const int base = Fl_Scroll::handle(event);
  if (icons.empty()) return base;
  switch (event) {
    case FL_SHORTCUT:
      if (Fl::event_state(FL_CTRL) && Fl::event_key() == 'a') {
        for (Icon* tile : icons) {
          tile->select();
          add_to_selection(tile);
        }
        update_menus();
        redraw();
        return 1;
      }
      return base;
    case FL_RELEASE:
      band_pending = true;
      band_visible = false;
      redraw();
      return base;
    case FL_DRAG: {
      if (band_pending) {
        band_x0 = Fl::event_x();
        band_y0 = Fl::event_y();
        band_pending = false;
      }
      band_x1 = Fl::event_x();
      band_y1 = std::min(Fl::event_y(), y() + h() - 1);
      if (scrollbar.visible() && (Fl::event_inside(&scrollbar) || band_x1 >= scrollbar.x()))
        band_x1 = scrollbar.x();
      if (hscrollbar.visible() && (Fl::event_inside(&hscrollbar) || band_y1 >= hscrollbar.y()))
        band_y1 = hscrollbar.y();
      band_visible = true;
      select_in_rectangle();
      redraw();
      return base;
    }
    case FL_PUSH:
      break;
    default:
      return base;
  }
  if (Fl::event_button() == FL_RIGHT_MOUSE) {
    popup_menu();
    return 1;
  }
  if (Fl::event_button() != FL_LEFT_MOUSE) return base;
  if (Fl::event_state(FL_CTRL)) {
    clicked = tile_at_mouse();
    if (clicked >= 0) {
      Icon* tile = icons[size_t(clicked)];
      if (tile->is_selected()) {
        tile->deselect();
        selection.erase(std::remove(selection.begin(), selection.end(), tile), selection.end());
      } else {
        tile->select();
        add_to_selection(tile);
        anchor = clicked;
      }
      tile->redraw();
    }
    update_menus();
    return 1;
  }
  if (Fl::event_state(FL_SHIFT)) {
    select_range();
    return 1;
  }
  if (in_scrollbar()) return 1;
  clear_selection();
  anchor = 0;
  const int hit = tile_at_mouse();
  if (hit >= 0) {
    Icon* tile = icons[size_t(hit)];
    tile->select();
    add_to_selection(tile);
    anchor = hit;
    tile->redraw();
  }
  update_menus();
  redraw();
  return 1;
}

void Icon_view::select_range() {
  clicked = tile_at_mouse();
  if (clicked >= 0) {
    // The anchor may predate tiles taken out, or be -1 after a background popup.
    anchor = std::clamp(anchor, 0, int(icons.size()) - 1);
    const bool deselecting = icons[size_t(clicked)]->is_selected();
    const int step = clicked > anchor ? 1 : -1;
    for (int i = anchor;; i += step) {
      Icon* tile = icons[size_t(i)];
      if (deselecting) {
        tile->deselect();
        selection.erase(std::remove(selection.begin(), selection.end(), tile), selection.end());
      } else {
        tile->select();
        add_to_selection(tile);
      }
      tile->redraw();
      if (i == clicked) break;
    }
    anchor = clicked;
  }
  update_menus();
}

void Icon_view::select_in_rectangle() {
  const int x0 = std::min(band_x0, band_x1), y0 = std::min(band_y0, band_y1);
  const int x1 = x0 + std::abs(band_x1 - band_x0) + 1;
  const int y1 = y0 + std::abs(band_y1 - band_y0) + 1;
  clear_selection();
  anchor = 0;
  for (size_t i = 0; i < icons.size(); ++i) {
    Icon* tile = icons[i];
    if (!rects_intersect(x0, y0, x1, y1, tile->x(), tile->y(), tile->x() + tile->w(),
                         tile->y() + tile->h()))
      continue;
    tile->select();
    add_to_selection(tile);
    anchor = int(i);
    tile->redraw();
  }
  update_menus();
}

void Icon_view::select_all() {
  for (Icon* tile : icons) {
    tile->select();
    add_to_selection(tile);
  }
  update_menus();
  redraw();
}

void Icon_view::deselect_all() {
  clear_selection();
  update_menus();
  redraw();
}

void Icon_view::invert_selection() {
  for (Icon* tile : icons) {
    if (tile->is_selected()) {
      tile->deselect();
      selection.erase(std::remove(selection.begin(), selection.end(), tile), selection.end());
    } else {
      tile->select();
      selection.push_back(tile);
    }
  }
  update_menus();
  redraw();
}

void Icon_view::popup_menu() {
  if (in_scrollbar()) return;
  clear_selection();
  anchor = -1;
  const int hit = tile_at_mouse();
  const int mx = Fl::event_x(), my = Fl::event_y();
  if (hit >= 0) {
    Icon* tile = icons[size_t(hit)];
    tile->select();
    add_to_selection(tile);
    anchor = hit;
    tile->redraw();
    const Fl_Menu_Item* picked = m_popup ? m_popup(k_tile_menu, mx, my) : nullptr;
    if (picked) run_tile_action(int(picked - k_tile_menu));
  } else {
    redraw();
    const Fl_Menu_Item* picked = m_popup ? m_popup(k_background_menu, mx, my) : nullptr;
    if (picked && g_main_window) g_main_window->new_directory();
  }
  update_menus();
}

void Icon_view::update_menus() {
  std::vector<uint32_t> types;
  types.reserve(selection.size());
  for (const Icon* tile : selection) types.push_back(tile->type);
  if (g_menu_bar) {
    const std::vector<std::string> on = active_selection_items(types, icons.size());
    for (const char* item : k_selection_menu_items)
      set_menu_item_active(item, std::find(on.begin(), on.end(), item) != on.end());
  }
  if (g_status_text) {
    g_status_text->copy_label(selection_status_text(selection.size(), icons.size()).c_str());
    g_status_text->redraw();
  }
}

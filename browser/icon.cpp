// The tile widget: picture and label, thumbnail making and display, selection colour,
// double click, rename and layout moves.
#include "browser/icon.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/Fl_RGB_Image.H>

#include <exception>

#include "browser/grid_layout.h"
#include "browser/icon_open.h"
#include "browser/thumbnail_cache.h"
#include "core/app_globals.h"
#include "core/exif_orientation.h"
#include "core/image_formats.h"
#include "core/jpeg_thumb.h"
#include "core/log.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/preferences_dlg.h"
#include "core/vanished_file.h"

namespace {

constexpr Fl_Color k_label_colour = 255;  // white

bool caching_on() { return g_preferences_dialog ? g_preferences_dialog->cache_thumbnails() : true; }

}  // namespace

void report_unreadable(const std::string& text) { log_error("%s", text.c_str()); }

Icon::Icon(int x, int y, int w, int h, const std::string& name_, const std::string& folder_)
    : Fl_Group(x, y, w, h), path(folder_ + name_), name(name_), folder(folder_) {
  thumb_box = new Fl_Box(x, y, w, h);
  thumb_box->box(FL_UP_BOX);
  thumb_box->color(k_tile_colour);
  thumb_box->align(FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  m_label = shown_label(name);
  label_box = new Fl_Box(x, y, w, h);
  label_box->label(m_label.c_str());
  label_box->box(FL_NO_BOX);
  label_box->labelcolor(k_label_colour);
  label_box->align(FL_ALIGN_TOP | FL_ALIGN_INSIDE);
  end();
  copy_tooltip(name.c_str());
  if (owner_can_read(path)) {
    thumb_box->image(g_generic_image_icon);
  } else {
    report_unreadable(path + ": doesn't have read permission");
    readable = false;
  }
}

Icon::~Icon() {
  // The box must not draw a picture that is going away.
  if (thumb_box) thumb_box->image(nullptr);
}

void Icon::probe_header(const std::function<void()>& probe) {
  if (!readable) return;
  try {
    probe();
  } catch (const std::exception& e) {
    report_unreadable(e.what());
    readable = false;
  }
}

void Icon::take_format(const Image_format& format) {
  type = format.type;
  probe_header([this, &format] { format.probe(path, width, height, type); });
}

void Icon::show_pixels(std::vector<uint8_t> pixels, int w, int h) {
  if (pixels.empty() || w <= 0 || h <= 0 || pixels.size() < size_t(w) * size_t(h) * 3) return;
  // The picture shows the buffer in place; the vector's storage moves with it.
  auto picture = std::make_unique<Fl_RGB_Image>(pixels.data(), w, h, 3);
  thumb_box->image(picture.get());
  m_picture = std::move(picture);
  thumb_pixels = std::move(pixels);
  thumb_w = w;
  thumb_h = h;
  thumb_box->redraw();
}

void Icon::load_thumbnail() {
  // The cache holds the tile as shown: the file's orientation is part of its name.
  const std::string cache = thumbnail_cache_path(path, exif_orientation(exif_data()));
  if (!cache.empty()) {
    uint32_t w = 0, h = 0, channels = 0;
    if (Rgb_bytes cached = read_jpeg_rgb(cache, w, h, channels)) {
      thumb_planes = planes_from_rgb(cached.get(), w, h);
      show_pixels(interleaved_rgb(thumb_planes), int(w), int(h));
      return;
    }
  }
  Thumbnail_planes made;
  try {
    uint32_t w = 0, h = 0;
    made = thumbnail_by_full_load(path, type, w, h);
    width = w;
    height = h;
  } catch (const std::exception& e) {
    // A corrupt file of any kind (or one too large to load) ends this tile, not the scan.
    readable = false;
    report_unreadable(e.what());
    return;
  }
  if (made.empty()) return;
  thumb_planes = std::move(made);
  show_pixels(interleaved_rgb(thumb_planes), int(thumb_planes.width), int(thumb_planes.height));
  if (!caching_on() || cache.empty()) return;
  try {
    write_jpeg(cache, thumb_pixels.data(), uint32_t(thumb_w), uint32_t(thumb_h));
  } catch (const std::exception& e) {
    report_unreadable(e.what());
  }
}

void Icon::scale_thumbnail(float scale) {
  // Without a thumbnail the generic picture stays.
  if (thumb_planes.empty()) return;
  const Thumbnail_planes scaled = scaled_thumbnail(thumb_planes, scale);
  show_pixels(interleaved_rgb(scaled), int(scaled.width), int(scaled.height));
}

void Icon::flip_thumbnail(char axis) {
  if (thumb_planes.empty()) return;
  thumb_planes = flipped_thumbnail(thumb_planes, axis);
  show_pixels(interleaved_rgb(thumb_planes), int(thumb_planes.width), int(thumb_planes.height));
}

void Icon::rotate_thumbnail(int angle) {
  if (angle == 90 || angle == -90) std::swap(width, height);
  if (thumb_planes.empty()) return;
  thumb_planes = rotated_thumbnail(thumb_planes, angle);
  show_pixels(interleaved_rgb(thumb_planes), int(thumb_planes.width), int(thumb_planes.height));
}

void Icon::select() {
  thumb_box->color(select_color);
  thumb_box->redraw();
}

void Icon::deselect() {
  thumb_box->color(k_tile_colour);
  thumb_box->redraw();
}

bool Icon::is_selected() const { return thumb_box->color() == select_color; }

void Icon::place(int x, int y) {
  // Only this group moves; its boxes are placed explicitly.
  Fl_Widget::resize(x, y, w(), h());
  thumb_box->Fl_Widget::resize(x, y, thumb_box->w(), thumb_box->h());
  label_box->Fl_Widget::resize(x, y + thumb_box->h(), label_box->w(), label_box->h());
  init_sizes();
}

void Icon::set_size(int w, int h) {
  Fl_Widget::resize(x(), y(), w, h + k_tile_label_h);
  thumb_box->Fl_Widget::resize(thumb_box->x(), thumb_box->y(), w, h);
  label_box->Fl_Widget::resize(label_box->x(), label_box->y(), w, k_tile_label_h);
  init_sizes();
}

void Icon::set_label_size(int size) { label_box->labelsize(size); }

void Icon::rename(const std::string& new_name) {
  path = folder + new_name;
  name = new_name;
  m_label = new_name;
  label_box->label(m_label.c_str());
  redraw();
}

void Icon::open() {
  // Copies: opening pumps events, and a callback may remove this tile.
  const std::string p = path, n = name, f = folder;
  // Deleted or moved by another program: said so, and this tile leaves the grid.
  if (report_if_vanished(p)) return;
  if (!readable) {
    show_alert(k_tile_open_alert);
    return;
  }
  open_tile_image(p, n, f, type);  // alerts a failure itself
}

int Icon::handle(int event) {
  const int handled = Fl_Group::handle(event);
  if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE && Fl::event_inside(this) &&
      Fl::event_is_click() && Fl::event_clicks() > 0) {
    Fl::event_clicks(-1);
    open();
    return 1;
  }
  return handled;
}

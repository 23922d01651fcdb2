// Builds the viewer window: the menu table with its one-line callbacks, and the widgets.
#include "viewer/image_dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>

#include <cstdint>

#include "viewer/image_box_drv.h"
#include "viewer/image_scroll.h"

namespace {

// Toolkit colour indices of the viewer's look.
constexpr Fl_Color k_window_colour = 49;
constexpr Fl_Color k_menu_colour = 47;
constexpr Fl_Color k_image_colour = 34;

ImageDialog* owner(Fl_Widget* w) {
  Fl_Window* win = w->as_window() ? w->as_window() : w->window();
  return dynamic_cast<ImageDialog*>(win);
}
int arg(void* v) { return int(reinterpret_cast<intptr_t>(v)); }
void* as_data(int v) { return reinterpret_cast<void*>(intptr_t(v)); }

void cb_save(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->save();
}
void cb_save_as(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->save_as();
}
void cb_close(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->close();
}
void cb_undo(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->undo();
}
void cb_redo(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->redo();
}
void cb_tonemap(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->tonemap();
}
void cb_pseudo_color(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->pseudo_color();
}
void cb_rotate(Fl_Widget* w, void* v) {
  if (ImageDialog* d = owner(w)) d->rotate(arg(v));
}
void cb_flip(Fl_Widget* w, void* v) {
  if (ImageDialog* d = owner(w)) d->flip(char(arg(v)));
}
void cb_resize(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->resize_image();
}
void cb_crop(Fl_Widget* w, void* v) {
  if (ImageDialog* d = owner(w)) d->crop(arg(v));
}
void cb_calibrate(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->calibrate();
}
void cb_next(Fl_Widget* w, void* v) {
  if (ImageDialog* d = owner(w)) d->next_image(arg(v));
}
void cb_zoom(Fl_Widget* w, void* v) {
  if (ImageDialog* d = owner(w)) d->zoom(arg(v));
}
void cb_fullscreen(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->fullscreen();
}
void cb_hdr_display(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->show_on_hdr_display();
}
void cb_image_info(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->image_info();
}
void cb_image_stats(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->image_stats();
}
void cb_histogram(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->histogram();
}
void cb_exposure(Fl_Widget* w, void* v) {
  if (ImageDialog* d = owner(w)) d->exposure(arg(v));
}
void cb_pixel_info(Fl_Widget* w, void*) {
  if (ImageDialog* d = owner(w)) d->pixel_info();
}

constexpr int k_inactive = FL_MENU_INACTIVE;
constexpr int k_divider = FL_MENU_DIVIDER;

Fl_Menu_Item item(const char* label, int shortcut, Fl_Callback* cb, void* data, int flags) {
  return {label, shortcut, cb, data, flags, 0, 0, 0, 0};
}
Fl_Menu_Item menu(const char* label, int flags = 0) {
  return {label, 0, nullptr, nullptr, FL_SUBMENU | flags, 0, 0, 0, 0};
}
const Fl_Menu_Item k_end = {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0};

const Fl_Menu_Item k_viewer_menu[] = {
    menu("&Image"),
    item("&Save", FL_CTRL + 's', cb_save, nullptr, k_inactive),
    item("Save As...", FL_CTRL + FL_SHIFT + 's', cb_save_as, nullptr, k_divider),
    item("&Close", FL_CTRL + 'w', cb_close, nullptr, 0),
    k_end,
    menu("&Edit"),
    item("Undo", FL_CTRL + 'z', cb_undo, nullptr, k_inactive),
    item("Redo", FL_CTRL + 'y', cb_redo, nullptr, k_inactive),
    k_end,
    menu("&Process"),
    item("Tonemap...", FL_CTRL + 't', cb_tonemap, nullptr, 0),
    item("Pseudo Color", 0, cb_pseudo_color, nullptr, 0),
    k_end,
    menu("&Tools"),
    item("Rotate Left", FL_CTRL + '[', cb_rotate, as_data(-90), 0),
    item("Rotate Right", FL_CTRL + ']', cb_rotate, as_data(90), k_divider),
    item("Flip Vertical", 0, cb_flip, as_data('y'), 0),
    item("Flip Horizontal", 0, cb_flip, as_data('x'), k_divider),
    item("Resize...", 0, cb_resize, nullptr, 0),
    menu("Crop"),
    item("Selection", FL_CTRL + FL_SHIFT + 'c', cb_crop, as_data(1), k_inactive),
    item("Specify region...", 0, cb_crop, as_data(0), 0),
    k_end,
    item("Calibrate...", FL_CTRL + 'c', cb_calibrate, nullptr, 0),
    k_end,
    menu("&View"),
    item("Next Image", FL_CTRL + FL_Right, cb_next, as_data(1), 0),
    item("Previous Image", FL_CTRL + FL_Left, cb_next, as_data(0), k_divider),
    item("Zoom In", '>', cb_zoom, as_data(2), 0),
    item("Zoom Out", '<', cb_zoom, as_data(3), k_divider),
    item("Fit Window", FL_CTRL + '0', cb_zoom, as_data(1), FL_MENU_RADIO | FL_MENU_VALUE),
    item("Original Size", FL_CTRL + 'f', cb_zoom, as_data(0), FL_MENU_RADIO),
    item("Fullscreen...", FL_ALT + FL_Enter, cb_fullscreen, nullptr, 0),
    item("Show on HDR Display", FL_CTRL + ' ', cb_hdr_display, nullptr, k_divider),
    item("Image Info...", FL_CTRL + 'i', cb_image_info, nullptr, 0),
    item("Image Stats...", FL_CTRL + FL_SHIFT + 'i', cb_image_stats, nullptr, 0),
    item("Histogram...", FL_CTRL + 'h', cb_histogram, nullptr, k_divider),
    menu("Exposure", k_divider),
    item("Lighter", '+', cb_exposure, as_data(0), 0),
    item("Darker", '-', cb_exposure, as_data(1), 0),
    item("Selection", '=', cb_exposure, as_data(2), k_divider),
    item("Default", FL_CTRL + ' ', cb_exposure, as_data(3), 0),
    k_end,
    item("Pixel Info", FL_CTRL + 'p', cb_pixel_info, nullptr, FL_MENU_TOGGLE),
    k_end,
    k_end,
};

Fl_Box* make_readout_label(int x, int y, int w, int h, const char* text) {
  auto* b = new Fl_Box(x, y, w, h);
  b->copy_label(text);
  b->labelsize(10);
  b->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  return b;
}

}  // namespace

const Fl_Menu_Item* ImageDialog::menu_table() { return k_viewer_menu; }

ImageDialog::ImageDialog(int w, int h, const char* title) : Fl_Double_Window(w, h, title) {
  // Centre under the pointer, kept on the screen, before any widget exists.
  copy_label(title);  // callers may pass a temporary text
  hotspot(this);
  make_window();
  end();
}

ImageDialog::~ImageDialog() = default;

void ImageDialog::make_window() {
  box(FL_FLAT_BOX);
  color(k_window_colour);
  callback(cb_close);

  menu_bar = new Fl_Menu_Bar(0, 0, 640, 25);
  menu_bar->box(FL_FLAT_BOX);
  menu_bar->color(k_menu_colour);
  // A copy per viewer: one viewer's item states never show in another.
  menu_bar->copy(k_viewer_menu);

  scroll = new ImageScroll(0, 25, 640, 455);
  scroll->box(FL_NO_BOX);
  scroll->color(k_image_colour);
  {
    image_box = new ImageBoxDrv(0, 25, 640, 455);
    image_box->box(FL_NO_BOX);
    image_box->color(k_image_colour);
    visible_box = new ImageBoxDrv(0, 25, 640, 455);
    visible_box->box(FL_NO_BOX);
    visible_box->color(k_image_colour);
  }
  scroll->end();
  resizable(scroll);

  pixel_group = new Fl_Group(0, 390, 195, 92);
  {
    pixel_frame = new Fl_Box(0, 396, 175, 84);
    pixel_frame->box(FL_ENGRAVED_BOX);
    position_label = new Fl_Box(32, 401, 95, 17);
    position_label->copy_label("X = 1324 Y = 768");
    position_label->labelsize(10);
    red_label = make_readout_label(3, 424, 85, 17, "R = 255");
    green_label = make_readout_label(2, 441, 85, 17, "G = 255");
    blue_label = make_readout_label(3, 458, 85, 17, "B = 255");
    lum_label = make_readout_label(95, 424, 77, 17, "L = 95.67");
    x_label = make_readout_label(95, 441, 77, 17, "x = 0.33");
    y_label = make_readout_label(95, 458, 77, 17, "y = 0.31");
    auto* spring = new Fl_Box(177, 390, 11, 4);
    spring->box(FL_NO_BOX);
    pixel_group->resizable(spring);
  }
  pixel_group->end();
  pixel_group->hide();
}

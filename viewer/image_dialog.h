// The viewer window's builder: its menu bar with the viewer's menu, the scrolling image
// area with its two image boxes and the pixel-info group. The actions are declared here
// and implemented by ImageDialogDrv.
#pragma once
#include <FL/Fl_Double_Window.H>

class Fl_Box;
class Fl_Group;
class Fl_Menu_Bar;
struct Fl_Menu_Item;
class ImageBoxDrv;
class ImageScroll;

class ImageDialog : public Fl_Double_Window {
 public:
  /// Builds every widget for a window of w x h (640 x 480 for every caller), placed with
  /// its centre under the mouse pointer.
  ImageDialog(int w, int h, const char* title);
  ~ImageDialog() override;

  /// in: (x0, y0, x1, y1) of the selection in window coordinates; out: inclusive bounds.
  virtual void selection_to_image(const int in[4], int out[4]) = 0;
  virtual void selection_to_box(const int in[4], int out[4]) = 0;
  virtual void tonemap() = 0;
  virtual void pseudo_color() = 0;
  virtual void close() = 0;
  virtual void save() = 0;
  virtual void save_as() = 0;
  /// angle: -90 or 90 degrees.
  virtual void rotate(int angle) = 0;
  /// axis: 'y' vertical, 'x' horizontal.
  virtual void flip(char axis) = 0;
  virtual void resize_image() = 0;
  /// 1: crop to the selection; 0: ask for a region.
  virtual void crop(int from_selection) = 0;
  /// 1: next; 0: previous.
  virtual void next_image(int forward) = 0;
  /// 0 lighter, 1 darker, 2 from the selection, 3 default.
  virtual void exposure(int step) = 0;
  /// 0 one-to-one, 1 fit window, 2 zoom in, 3 zoom out.
  virtual void zoom(int mode) = 0;
  virtual void image_info() = 0;
  virtual void image_stats() = 0;
  virtual void pixel_info() = 0;
  virtual void undo() = 0;
  virtual void redo() = 0;
  virtual void fullscreen() = 0;
  virtual void calibrate() = 0;
  virtual void show_on_hdr_display() = 0;
  /// "Histogram...": the histogram dialog takes this viewer's image.
  virtual void histogram() = 0;

  /// The viewer's menu table; each viewer's menu bar holds its own copy.
  static const Fl_Menu_Item* menu_table();

  Fl_Menu_Bar* menu_bar = nullptr;
  ImageScroll* scroll = nullptr;
  ImageBoxDrv* image_box = nullptr;    // the whole display image
  ImageBoxDrv* visible_box = nullptr;  // the visible part of a large image
  Fl_Group* pixel_group = nullptr;
  Fl_Box* pixel_frame = nullptr;     // the engraved box
  Fl_Box* position_label = nullptr;  // "X = .. Y = .."
  Fl_Box* red_label = nullptr;
  Fl_Box* green_label = nullptr;
  Fl_Box* blue_label = nullptr;
  Fl_Box* lum_label = nullptr;
  Fl_Box* x_label = nullptr;
  Fl_Box* y_label = nullptr;

 private:
  void make_window();
};

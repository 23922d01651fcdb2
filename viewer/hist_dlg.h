// The "Histogram" dialog: a 256-bin histogram of an image's luminance or of one colour
// channel, on a linear or logarithmic scale. It borrows a viewer's image or loads a file.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <memory>
#include <string>

#include "viewer/histogram_data.h"

class Fl_Choice;
class Fl_Return_Button;
class Hdr_image;
class HistBox;

class HistDlg : public Fl_Double_Window {
 public:
  /// Builds the widgets; modal, placed by the window system.
  HistDlg(int w, int h, const char* title);
  ~HistDlg() override;

  /// Lends a viewer's image (it stays the viewer's) and computes the chosen histogram;
  /// the caller shows the dialog. Whatever an earlier opening left is released first.
  void set_image(Hdr_image* image);
  /// Loads the file as the type code into an image of the dialog's own and computes the
  /// chosen histogram; true on success. A file that cannot be read is alerted and gives
  /// false, with nothing computed; the caller shows the dialog only on true.
  bool load_image(const std::string& path, uint32_t type);
  /// Computes the chosen histogram when it is not cached and hands it to the widget.
  void update();
  /// Frees the cache and an image of the dialog's own, then hides the dialog (the
  /// "Close" button, the close box and Escape).
  void close();

  const Hdr_image* image() const { return m_image; }
  bool image_borrowed() const { return m_image && !m_owned; }
  uint64_t pixel_count() const { return m_pixels; }
  const Histogram_cache& cache() const { return m_cache; }

  HistBox* hist_box = nullptr;
  Fl_Choice* channel_choice = nullptr;
  Fl_Choice* scale_choice = nullptr;
  Fl_Return_Button* close_button = nullptr;

 private:
  void release();
  void attach(Hdr_image* image);

  Hdr_image* m_image = nullptr;        // the viewer's or m_owned
  std::unique_ptr<Hdr_image> m_owned;  // set when the dialog loaded the file
  Histogram_cache m_cache;
  uint64_t m_pixels = 0;
};

/// The program's histogram dialog; main creates it.
extern HistDlg* g_histogram_dialog;

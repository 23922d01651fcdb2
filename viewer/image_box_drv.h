// The box that shows a viewer's image and lies behind the main window's browsing area:
// text dropped on it names an image file, which opens in a new viewer.
#pragma once
#include <FL/Fl_Box.H>

#include <string>

class ImageBoxDrv : public Fl_Box {
 public:
  ImageBoxDrv(int x, int y, int w, int h, const char* label = nullptr);
  ~ImageBoxDrv() override;

  /// Accepts drag and drop (FL_DND_* return 1) and opens the dropped text (FL_PASTE).
  int handle(int event) override;
};

/// Opens the file named by dropped text (see dropped_text_to_path) in a new viewer.
void open_dropped_text(const std::string& text);

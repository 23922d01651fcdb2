// The image box's drop target (see the header).
#include "viewer/image_box_drv.h"

#include <FL/Fl.H>

#include "viewer/drop_path.h"
#include "viewer/open_in_viewer.h"

ImageBoxDrv::ImageBoxDrv(int x, int y, int w, int h, const char* label)
    : Fl_Box(x, y, w, h, label) {}

ImageBoxDrv::~ImageBoxDrv() = default;

int ImageBoxDrv::handle(int event) {
  switch (event) {
    case FL_ENTER:
      return 0;
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
    case FL_DND_RELEASE:
      // Accepting these makes FLTK deliver the dropped text as FL_PASTE.
      return 1;
    case FL_PASTE: {
      // Copied first: opening pumps events, which may replace the event text.
      const char* text = Fl::event_text();
      const int length = Fl::event_length();
      open_dropped_text(text && length > 0 ? std::string(text, size_t(length)) : std::string());
      return 1;
    }
    default:
      return Fl_Box::handle(event);
  }
}

void open_dropped_text(const std::string& text) {
  open_image_in_viewer(dropped_text_to_path(text));
}

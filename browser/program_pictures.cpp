// Decodes the embedded PNG pictures of the main window once and keeps them.
#include "browser/program_pictures.h"

#include <FL/Fl_PNG_Image.H>

#include <string>

#include "resources/embedded.h"

namespace {

// A missing resource gives an empty picture: the button then shows no picture but the
// window still works.
Fl_RGB_Image* decode(const char* name) {
  const Embedded_file* file = find_embedded_file(name);
  if (!file) return new Fl_RGB_Image(nullptr, 0, 0, 4);
  return new Fl_PNG_Image(name, file->data, int(file->size));
}

const char* const k_names[4][2] = {
    {"toolbar-back.png", "toolbar-back-inactive.png"},
    {"toolbar-up.png", "toolbar-up-inactive.png"},
    {"toolbar-forward.png", "toolbar-forward-inactive.png"},
    {"toolbar-refresh.png", "toolbar-refresh-inactive.png"},
};

}  // namespace

Button_pictures nav_button_pictures(Nav_button button) {
  static Button_pictures pictures[4] = {};
  const int i = int(button);
  if (!pictures[i].active)
    pictures[i] = Button_pictures{decode(k_names[i][0]), decode(k_names[i][1])};
  return pictures[i];
}

Fl_RGB_Image* window_icon_picture() {
  static Fl_RGB_Image* icon = decode("veltrum-icon.png");
  return icon;
}

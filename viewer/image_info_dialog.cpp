// ImageInfoDialog: five browsers filled from image_info_lines.
#include "viewer/image_info_dialog.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Tabs.H>

#include "core/dialog_callbacks.h"

ImageInfoDialog* g_image_info_dialog = nullptr;

namespace {

// The label column; the value fills the rest. The browsers keep the pointer.
const int k_info_columns[] = {200, 0};
const char* const k_tab_titles[k_info_tabs] = {"General", "Camera", "Image", "Conditions", "Other"};

}  // namespace

ImageInfoDialog::ImageInfoDialog(int w, int h, const char* title)
    : Fl_Double_Window(0, 0, w, h, title) {
  force_position(0);
  close_button = new Fl_Return_Button(404, 372, 76, 25, "Close");
  close_button->callback(hide_parent_cb);
  tabs = new Fl_Tabs(5, 5, 475, 362);
  for (int i = 0; i < k_info_tabs; ++i) {
    Fl_Browser* b = new Fl_Browser(6, 25, 474, 342, k_tab_titles[i]);
    b->column_widths(k_info_columns);
    b->selection_color(Fl_Color(196));
    if (i != k_tab_camera) b->hide();
    browsers[i] = b;
  }
  tabs->end();
  tabs->value(browsers[k_tab_camera]);
  end();
  set_modal();
}

void ImageInfoDialog::fill(const std::string& path, const std::string& name, uint64_t width,
                           uint64_t height) {
  for (Fl_Browser* b : browsers) b->clear();
  const Info_lines lines = image_info_lines(path, name, width, height);
  for (int i = 0; i < k_info_tabs; ++i)
    for (const std::string& line : lines[i]) browsers[i]->add(line.c_str());
  show();
}

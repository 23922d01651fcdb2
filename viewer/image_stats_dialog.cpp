// ImageStatsDialog: loads the file when no image is lent, computes the cached figures.
#include "viewer/image_stats_dialog.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Return_Button.H>

#include <memory>

#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/dialog_callbacks.h"
#include "core/hdr_image.h"
#include "viewer/image_stats_text.h"

ImageStatsDialog* g_image_stats_dialog = nullptr;

namespace {
// The label column; the value fills the rest. The browser keeps the pointer.
const int k_stats_columns[] = {150, 0};
}  // namespace

ImageStatsDialog::ImageStatsDialog(int w, int h, const char* title)
    : Fl_Double_Window(0, 0, w, h, title) {
  force_position(0);
  browser = new Fl_Browser(9, 11, 357, 356);
  browser->column_widths(k_stats_columns);
  browser->tooltip(k_stats_tooltip);
  close_button = new Fl_Return_Button(290, 372, 76, 25, "Close");
  close_button->callback(hide_parent_cb);
  end();
  set_modal();
}

void ImageStatsDialog::fill(Hdr_image* image, const std::string& path, const std::string& name) {
  set_busy_cursor(FL_CURSOR_WAIT);
  browser->clear();
  browser->add(stats_name_line(name).c_str());

  std::unique_ptr<Hdr_image> loaded;
  if (!image) {
    // Every reader's failure alike, the image library's own included.
    if (!Command()
             .fixed_alert("Cannot compute image stats. Image data seems to be corrupted.")
             .run([&] { loaded = std::make_unique<Hdr_image>(path); }))
      return;
    image = loaded.get();
  }
  if (!image->stats.computed) dynamic_range(image->stats, *image);
  for (const std::string& line : stats_figure_lines(image->stats)) browser->add(line.c_str());

  set_busy_cursor(FL_CURSOR_DEFAULT);
  show();
}

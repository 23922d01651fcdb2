// A new result in an "Untitled" viewer (see the header).
#include "viewer/open_new_result.h"

#include <FL/Fl_Group.H>

#include <exception>

#include "core/hdr_image.h"
#include "viewer/image_dialog_drv.h"

ImageDialogDrv* open_new_result(std::unique_ptr<Hdr_image> image, const std::string& folder) {
  static constexpr char k_untitled[] = "Untitled";
  // A top-level window: no group of the window that received the event may adopt it.
  Fl_Group::current(nullptr);
  ImageDialogDrv* viewer = nullptr;
  try {
    viewer = new ImageDialogDrv(640, 480, k_untitled);
    viewer->set_modified(k_change_new_image);
    viewer->set_image(std::move(image), folder + k_untitled, k_untitled, folder, 0, 0);
    viewer->show();
  } catch (const std::exception&) {
    if (viewer) viewer->close_window();
    throw;
  }
  return viewer;
}

// Opening a viewer on an image (see the header).
#include "viewer/open_viewer.h"

#include <FL/Fl_Group.H>

#include <exception>

#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "viewer/image_dialog_drv.h"

ImageDialogDrv* open_viewer(std::unique_ptr<Hdr_image> image, const std::string& path,
                            const std::string& name, const std::string& folder, uint32_t changes) {
  // A top-level window: no group of the window that received the event may adopt it.
  Fl_Group::current(nullptr);
  auto* viewer = new ImageDialogDrv(640, 480, name.c_str());
  try {
    if (changes) viewer->set_modified(changes);
    viewer->set_image(std::move(image), path, name, folder, 0, 0);
    viewer->show();
  } catch (...) {
    // The hand-over has returned, so no action of this viewer is still running: it can go
    // now rather than wait on the closed list.
    viewer->hide();
    delete viewer;
    throw;
  }
  return viewer;
}

ImageDialogDrv* open_viewer_or_alert(std::unique_ptr<Hdr_image> image, const std::string& path,
                                     const std::string& name, const std::string& folder,
                                     uint32_t changes) {
  ImageDialogDrv* viewer = nullptr;
  Command().run([&] { viewer = open_viewer(std::move(image), path, name, folder, changes); });
  return viewer;
}

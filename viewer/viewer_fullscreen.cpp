// "Fullscreen...": the viewer hands a copy of its image, exposure included, to a new
// full-screen view; nothing done there changes the viewer.
#include <FL/Fl_Group.H>

#include <memory>

#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "viewer/action_scopes.h"
#include "viewer/fullscreen_dlg.h"
#include "viewer/image_dialog_drv.h"

void ImageDialogDrv::fullscreen() {
  if (!m_image || m_image->is_empty()) return;
  Action_scope running(*this);
  FullScreenDlg* view = nullptr;
  {
    Busy busy;
    if (!m_image || m_image->is_empty()) return;  // the pump may have run anything
    Command().run([&] {
      auto copy = std::make_unique<Hdr_image>(*m_image);
      // A top-level window: no group of the window that received the event may adopt it.
      Fl_Group::current(nullptr);
      view = new FullScreenDlg(std::move(copy), m_path, m_directory);
    });
  }
  if (!view) return;
  // Owned by the window system from here on; closing queues it for deletion.
  view->fullscreen();
  view->show();
  view->fit_and_show();
}

// "Fullscreen...": the viewer hands a copy of its image, exposure included, to a new
// full-screen view; nothing done there changes the viewer.
#include <FL/Fl_Group.H>

#include <exception>
#include <memory>
#include <string>

#include "core/hdr_image.h"
#include "core/messages.h"
#include "viewer/action_scopes.h"
#include "viewer/fullscreen_dlg.h"
#include "viewer/image_dialog_drv.h"

void ImageDialogDrv::fullscreen() {
  if (!m_image || m_image->is_empty()) return;
  Action_scope running(*this);
  FullScreenDlg* view = nullptr;
  std::string error;
  {
    Busy busy;
    if (!m_image || m_image->is_empty()) return;  // the pump may have run anything
    try {
      auto copy = std::make_unique<Hdr_image>(*m_image);
      // A top-level window: no group of the window that received the event may adopt it.
      Fl_Group::current(nullptr);
      view = new FullScreenDlg(std::move(copy), m_path, m_directory);
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  if (!view) {
    show_alert(error);
    return;
  }
  // Owned by the window system from here on; closing queues it for deletion.
  view->fullscreen();
  view->show();
  view->fit_and_show();
}

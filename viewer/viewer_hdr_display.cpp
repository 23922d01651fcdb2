// The viewer's "Show on HDR Display": the HDR-monitor window gets a copy of the image.
#include <memory>

#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/ogl_window.h"

void ImageDialogDrv::show_on_hdr_display() {
  if (!m_image || !g_hdr_display_window) return;
  // The copy keeps the display exposure, so the monitor shows what the viewer shows.
  std::unique_ptr<Hdr_image> copy;
  if (!Command().run([&] { copy = std::make_unique<Hdr_image>(*m_image); })) return;
  show_on_hdr_window(std::move(copy));
}

// "Tonemap...": the tone-mapping dialog set up for this viewer's image.
#include "core/action_scopes.h"
#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "hdr/tonemap_phot_dlg_drv.h"
#include "viewer/image_dialog_drv.h"

namespace {
bool g_tonemap_running = false;
}  // namespace

void ImageDialogDrv::tonemap() {
  if (g_tonemap_running || !m_image || !g_tonemap_dialog) return;
  Guard guard(g_tonemap_running);
  Action_scope running(*this);
  bool ready = false;
  {
    Busy busy;
    if (!m_image) return;  // the pump may have run anything
    // The dialog copies the image and divides this viewer's exposure out.
    Command().run([&] { ready = g_tonemap_dialog->setup(nullptr, m_image.get(), m_exposure, {}); });
  }
  if (ready) g_tonemap_dialog->show();
}

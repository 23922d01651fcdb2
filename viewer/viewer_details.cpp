// The viewer's three detail items: "Image Info...", "Image Stats..." and
// "Histogram...", each handing the viewer's file or image to its dialog.
#include "core/hdr_image.h"
#include "viewer/hist_dlg.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_info_dialog.h"
#include "viewer/image_stats_dialog.h"

void ImageDialogDrv::image_info() {
  if (!g_image_info_dialog) return;
  Action_scope running(*this);
  const uint64_t w = m_image ? uint64_t(m_image->width()) : 0;
  const uint64_t h = m_image ? uint64_t(m_image->height()) : 0;
  g_image_info_dialog->fill(m_path, m_name, w, h);
}

void ImageDialogDrv::image_stats() {
  if (!g_image_stats_dialog || !m_image) return;
  // The dialog serves events under its busy cursor: this viewer must outlive the call.
  Action_scope running(*this);
  g_image_stats_dialog->fill(m_image.get(), m_path, m_name);
}

void ImageDialogDrv::histogram() {
  if (!g_histogram_dialog || !m_image) return;
  g_histogram_dialog->set_image(m_image.get());
  g_histogram_dialog->show();
}

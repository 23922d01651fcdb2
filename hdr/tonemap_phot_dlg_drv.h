// The "Tonemap Image" dialog's behaviour: set-up for a viewer's image, one file or a
// batch of files; the live preview and its histogram; tone mapping into a new "Untitled"
// viewer or, for a batch, into files beside their sources.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "hdr/tonemap_image.h"
#include "hdr/tonemap_phot_dlg.h"

class TonemapPhotDlgDrv : public TonemapPhotDlg {
 public:
  /// Builds the dialog and installs the interactive operator's contrast hook, which
  /// writes the automatic contrast into the Contrast slider of g_tonemap_dialog.
  TonemapPhotDlgDrv(int w, int h, const char* title);
  ~TonemapPhotDlgDrv() override;

  /// Prepares the dialog; the caller shows it. image (owned, may be null) becomes the full
  /// image; viewer_image (a viewer's image, copied here, not kept) replaces it with its
  /// pixels divided by viewer_exposure, the factor the viewer multiplied them by; more
  /// than one path makes a batch of those files. Sliders go back to their starting values,
  /// the type stays. Outside a batch the preview is made and refreshed. Refused with an
  /// alert (false, nothing changed) while a batch runs. Throws std::bad_alloc when the
  /// copy or the preview finds no room.
  bool setup(std::unique_ptr<Hdr_image> image, const Hdr_image* viewer_image, float viewer_exposure,
             const std::vector<std::string>& paths);

  void apply(Hdr_image& image) override;

  /// Tone-maps a copy of the preview source and shows it with its luminance histogram;
  /// only with "Update preview" checked and outside a batch. A failure is alerted and
  /// leaves the preview as it was.
  void refresh_preview();

  /// "Tonemap": outside a batch, tone-maps a copy of the full image and opens it in an
  /// "Untitled" viewer of the current folder (type 10, a new image without a file), then
  /// hides; a failure is alerted and the dialog stays. In a batch it hides and starts
  /// batch_tonemap 0.1 s later. Nothing happens while a tone mapping runs.
  void run();

  /// Tone-maps every file of the batch and saves it beside its source as
  /// make_output_name(name, suffix, ".jpg" or ".tif"), JPEG or 8-bit TIFF, replacing an
  /// existing file of that name after asking when the preference says so, but never one
  /// of the batch's own files nor an output it wrote already. Settings and list
  /// are copied at its start. Each failing file is alerted with its path and skipped.
  void batch_tonemap();

  /// Drops the preview picture, then hides.
  void hide() override;

  /// A type item: the mode, the interactive sliders' activation, a refreshed preview.
  void choose_type(uint32_t mode);
  /// The Contrast slider was released: the interactive type uses it from now on.
  void contrast_released();

  /// The values apply reads now.
  Tonemap_settings settings() const;

  uint32_t mode() const { return m_mode; }
  bool batch() const { return m_batch; }
  bool has_viewer() const { return m_has_viewer; }
  bool user_contrast() const { return m_user_contrast; }
  const std::vector<std::string>& paths() const { return m_paths; }
  const Hdr_image* full_image() const { return m_full_image.get(); }
  const Hdr_image* preview_source() const { return m_preview_source.get(); }
  /// The last refreshed preview, tone-mapped (null before the first).
  const Hdr_image* preview_image() const { return m_preview_work.get(); }
  /// True from "Tonemap" in a batch until the batch has ended.
  bool batch_running() const { return m_batch_running; }

 private:
  static void batch_timeout(void* dialog);
  void free_preview_picture();
  void reset_sliders();
};

/// The program's tone-mapping dialog; main creates it.
extern TonemapPhotDlgDrv* g_tonemap_dialog;

// What the Resize and Crop dialogs share: one viewer's image or a batch of selected files,
// the watched viewer, the running guard, the destination and suffix widgets, the busy run
// and the per-file loop. Each dialog adds only its fields and its transform.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/selected_file.h"

class Fl_Button;
class Fl_Group;
class Fl_Input;
class ImageDialogDrv;

class Batch_image_dlg : public Fl_Double_Window {
 public:
  Batch_image_dlg(int w, int h, const char* title);
  ~Batch_image_dlg() override;

  /// "Browse...": the directory chooser for the destination.
  void browse();

  /// The viewer being changed (null in batch mode, or once that viewer was deleted).
  ImageDialogDrv* viewer() const;
  const std::vector<Selected_file>& files() const { return m_files; }
  uint32_t reference_width() const { return m_ref_w; }
  uint32_t reference_height() const { return m_ref_h; }
  bool running() const { return m_running; }

  // Built by each dialog in its own place.
  Fl_Group* batch_group = nullptr;
  Fl_Input* destination_input = nullptr;
  Fl_Button* browse_button = nullptr;
  Fl_Input* append_input = nullptr;

 protected:
  /// Takes the selected files (copied; the first gives the reference size; the destination
  /// becomes the current folder, the suffix the given one, the batch group active) when
  /// files is given, else the viewer's image (the batch group inactive). False, with
  /// nothing changed, while a run is going on or when neither is given.
  bool take_source(const std::vector<Selected_file>* files, ImageDialogDrv* viewer,
                   const char* suffix);

  /// Runs action with the running guard and the busy cursor, the dialog inactive; a
  /// std::exception is alerted with its text once the dialog is active again. Hides the dialog
  /// unless action returned false (it stays open for other values).
  void run(const std::function<bool()>& action);

  /// Replaces the viewer's image by changed(image) as one undo step with the change bit;
  /// true (nothing done) when the viewer is gone. When changed throws, nothing changes, the
  /// text goes to standard error, failure_alert is shown (the dialog active again) and the
  /// result is false.
  using Image_change = std::function<cimg_library::CImg<float>(const Hdr_image&)>;
  bool change_viewer_image(const Image_change& changed, uint32_t change_bit,
                           const char* failure_alert);

  /// The batch over a copy of the files with the destination and suffix typed, the status
  /// progress labelled progress_label, alerts naming verb, and the grid told of each file.
  void run_batch(const char* verb, const char* progress_label,
                 std::function<void(Hdr_image&, const Selected_file&)> transform,
                 const char* failure_alert);

 private:
  std::vector<Selected_file> m_files;
  Fl_Widget* m_viewer = nullptr;  // watched: cleared when the viewer is deleted
  uint32_t m_ref_w = 0, m_ref_h = 0;
  bool m_running = false;
};

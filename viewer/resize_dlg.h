// The Resize Image dialog: a new size in pixels or percent and a method, for one viewer's
// image or, as a batch, for the selected files, saved as new files in a destination.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/selected_file.h"
#include "viewer/batch_image_dlg.h"

class Fl_Button;
class Fl_Check_Button;
class Fl_Choice;
class Fl_Float_Input;
class Fl_Int_Input;
class Fl_Return_Button;
class Fl_Round_Button;
class ImageDialogDrv;

/// The widgets; each button and field forwards to one of the actions ("Browse..." to the
/// shared chooser).
class ResizeDlg : public Batch_image_dlg {
 public:
  ResizeDlg(int w, int h, const char* title);

  /// "Resize".
  virtual void apply() = 0;
  /// Width or Height typed (every change).
  virtual void width_changed() = 0;
  virtual void height_changed() = 0;
  /// "Pixels" or "Percent" chosen.
  virtual void to_pixels() = 0;
  virtual void to_percent() = 0;

  Fl_Int_Input* width_input = nullptr;
  Fl_Float_Input* height_input = nullptr;
  Fl_Check_Button* aspect_button = nullptr;
  Fl_Round_Button* pixels_button = nullptr;
  Fl_Round_Button* percent_button = nullptr;
  Fl_Choice* method_choice = nullptr;
  Fl_Return_Button* resize_button = nullptr;
  Fl_Button* cancel_button = nullptr;
};

class ResizeDlgDrv : public ResizeDlg {
 public:
  ResizeDlgDrv(int w, int h, const char* title);

  /// For the selected files (copied; their header sizes must agree, the first gives the
  /// reference size) when files is given, else for the viewer's image; shows the dialog.
  /// Ignored while a resize runs or when neither is given.
  void setup(const std::vector<Selected_file>* files, ImageDialogDrv* viewer);

  /// Checks the fields ("Invalid resize dimensions specified. Please enter positive
  /// values." and the dialog stays), then resizes the viewer's image in place (undo step,
  /// change bit 4) or each file of the batch; hides the dialog when done.
  void apply() override;
  void width_changed() override;
  void height_changed() override;
  void to_pixels() override;
  void to_percent() override;

  bool percent_mode() const { return m_percent; }

 private:
  /// False when the resize failed and the dialog stays open.
  bool resize_viewer(uint32_t width, uint32_t height, int interpolation);
  void resize_files(uint32_t width, uint32_t height, int interpolation);

  bool m_percent = false;  // the unit the fields hold now
};

/// The program's resize dialog; start-up creates it.
extern ResizeDlgDrv* g_resize_dialog;

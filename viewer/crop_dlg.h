// The Crop Image dialog: a region given by its corner and size, cut out of one viewer's
// image or, as a batch, out of the selected files, saved as new files in a destination.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/selected_file.h"
#include "viewer/batch_image_dlg.h"

class Fl_Button;
class Fl_Int_Input;
class Fl_Return_Button;
class ImageDialogDrv;
struct Crop_region;

/// The widgets; "Crop" forwards to the action, "Browse..." to the shared chooser.
class CropDlg : public Batch_image_dlg {
 public:
  CropDlg(int w, int h, const char* title);

  /// "Crop".
  virtual void apply() = 0;

  Fl_Int_Input* x_input = nullptr;
  Fl_Int_Input* y_input = nullptr;
  Fl_Int_Input* width_input = nullptr;
  Fl_Int_Input* height_input = nullptr;
  Fl_Return_Button* crop_button = nullptr;
  Fl_Button* cancel_button = nullptr;
};

class CropDlgDrv : public CropDlg {
 public:
  CropDlgDrv(int w, int h, const char* title);

  /// For the selected files (copied; the first gives the reference size; title "Batch
  /// Crop Images") when files is given, else for the viewer's image (title "Crop Image");
  /// the fields show the whole image; shows the dialog. Ignored while a crop runs or when
  /// neither is given.
  void setup(const std::vector<Selected_file>* files, ImageDialogDrv* viewer);

  /// Checks the region ("Invalid crop dimensions specified. The crop region must be within
  /// the image boundaries." and the dialog stays), then crops the viewer's image in place
  /// (undo step, change bit 8) or each file of the batch; hides the dialog when done.
  void apply() override;

 private:
  /// False when the crop failed and the dialog stays open.
  bool crop_viewer(const Crop_region& region);
  void crop_files(const Crop_region& region);
};

/// The program's crop dialog; start-up creates it.
extern CropDlgDrv* g_crop_dialog;

/// The viewer's "Specify region...": the crop dialog set up for the viewer's image.
void open_crop_dialog(ImageDialogDrv& viewer);

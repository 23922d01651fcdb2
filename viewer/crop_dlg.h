// The Crop Image dialog: a region given by its corner and size, cut out of one viewer's
// image or, as a batch, out of the selected files, saved as new files in a destination.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <string>
#include <vector>

#include "core/selected_file.h"

class Fl_Button;
class Fl_File_Chooser;
class Fl_Group;
class Fl_Input;
class Fl_Int_Input;
class Fl_Return_Button;
class ImageDialogDrv;
struct Crop_region;

/// The widgets; "Crop" and "Browse..." forward to the actions.
class CropDlg : public Fl_Double_Window {
 public:
  CropDlg(int w, int h, const char* title);

  /// "Crop".
  virtual void apply() = 0;
  /// "Browse...".
  virtual void browse() = 0;

  Fl_Int_Input* x_input = nullptr;
  Fl_Int_Input* y_input = nullptr;
  Fl_Int_Input* width_input = nullptr;
  Fl_Int_Input* height_input = nullptr;
  Fl_Group* batch_group = nullptr;
  Fl_Input* destination_input = nullptr;
  Fl_Button* browse_button = nullptr;
  Fl_Input* append_input = nullptr;
  Fl_Return_Button* crop_button = nullptr;
  Fl_Button* cancel_button = nullptr;
};

class CropDlgDrv : public CropDlg {
 public:
  CropDlgDrv(int w, int h, const char* title);
  ~CropDlgDrv() override;

  /// For the selected files (copied; the first gives the reference size; title "Batch
  /// Crop Images") when files is given, else for the viewer's image (title "Crop Image");
  /// the fields show the whole image; shows the dialog. Ignored while a crop runs or when
  /// neither is given.
  void setup(const std::vector<Selected_file>* files, ImageDialogDrv* viewer);

  /// Checks the region ("Invalid crop dimensions specified. The crop region must be within
  /// the image boundaries." and the dialog stays), then crops the viewer's image in place
  /// (undo step, change bit 8) or each file of the batch; hides the dialog when done.
  void apply() override;
  void browse() override;
  /// The directory chooser's callback (data: the dialog).
  static void directory_chosen(Fl_File_Chooser* chooser, void* data);

  /// The viewer being cropped (null in batch mode, or once that viewer was deleted).
  ImageDialogDrv* viewer() const;
  const std::vector<Selected_file>& files() const { return m_files; }
  uint32_t reference_width() const { return m_ref_w; }
  uint32_t reference_height() const { return m_ref_h; }
  bool running() const { return m_running; }

 private:
  /// False when the crop failed and the dialog stays open.
  bool crop_viewer(const Crop_region& region);
  void crop_files(const Crop_region& region);

  std::vector<Selected_file> m_files;
  Fl_Widget* m_viewer = nullptr;  // watched: cleared when the viewer is deleted
  uint32_t m_ref_w = 0, m_ref_h = 0;
  bool m_running = false;
};

/// The program's crop dialog; start-up creates it.
extern CropDlgDrv* g_crop_dialog;

/// The viewer's "Specify region...": the crop dialog set up for the viewer's image.
void open_crop_dialog(ImageDialogDrv& viewer);

// The Resize Image dialog: a new size in pixels or percent and a method, for one viewer's
// image or, as a batch, for the selected files, saved as new files in a destination.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <string>
#include <vector>

#include "core/selected_file.h"

class Fl_Button;
class Fl_Check_Button;
class Fl_Choice;
class Fl_File_Chooser;
class Fl_Float_Input;
class Fl_Group;
class Fl_Input;
class Fl_Int_Input;
class Fl_Return_Button;
class Fl_Round_Button;
class ImageDialogDrv;

/// The widgets; each button and field forwards to one of the actions.
class ResizeDlg : public Fl_Double_Window {
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
  /// "Browse...".
  virtual void browse() = 0;

  Fl_Int_Input* width_input = nullptr;
  Fl_Float_Input* height_input = nullptr;
  Fl_Check_Button* aspect_button = nullptr;
  Fl_Round_Button* pixels_button = nullptr;
  Fl_Round_Button* percent_button = nullptr;
  Fl_Choice* method_choice = nullptr;
  Fl_Group* batch_group = nullptr;
  Fl_Input* destination_input = nullptr;
  Fl_Button* browse_button = nullptr;
  Fl_Input* append_input = nullptr;
  Fl_Return_Button* resize_button = nullptr;
  Fl_Button* cancel_button = nullptr;
};

class ResizeDlgDrv : public ResizeDlg {
 public:
  ResizeDlgDrv(int w, int h, const char* title);
  ~ResizeDlgDrv() override;

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
  void browse() override;
  /// The directory chooser's callback (data: the dialog).
  static void directory_chosen(Fl_File_Chooser* chooser, void* data);

  /// The viewer being resized (null in batch mode, or once that viewer was deleted).
  ImageDialogDrv* viewer() const;
  const std::vector<Selected_file>& files() const { return m_files; }
  uint32_t reference_width() const { return m_ref_w; }
  uint32_t reference_height() const { return m_ref_h; }
  bool percent_mode() const { return m_percent; }
  bool running() const { return m_running; }

 private:
  /// False when the resize failed and the dialog stays open.
  bool resize_viewer(uint32_t width, uint32_t height, int interpolation);
  void resize_files(uint32_t width, uint32_t height, int interpolation);

  std::vector<Selected_file> m_files;
  Fl_Widget* m_viewer = nullptr;  // watched: cleared when the viewer is deleted
  uint32_t m_ref_w = 0, m_ref_h = 0;
  bool m_percent = false;         // the unit the fields hold now
  bool m_running = false;
};

/// The program's resize dialog; start-up creates it.
extern ResizeDlgDrv* g_resize_dialog;

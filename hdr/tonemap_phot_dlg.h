// The "Tonemap Image" dialog's widgets and state: type and parameter sliders, the preview
// with its histogram, and the batch options. Its behaviour class implements apply.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Fl_Box;
class Fl_Button;
class Fl_Check_Button;
class Fl_Choice;
class Fl_Group;
class Fl_Input;
class Fl_Return_Button;
class Fl_Value_Slider;
class Hdr_image;
class HistBox;

class TonemapPhotDlg : public Fl_Double_Window {
 public:
  /// Builds the modal window, hidden, with the batch options hidden and only Gamma of the
  /// interactive sliders active ("Automatic" chosen).
  TonemapPhotDlg(int w, int h, const char* title);
  ~TonemapPhotDlg() override;

  /// Tone-maps image in place with the chosen type and the sliders' values.
  virtual void apply(Hdr_image& image) = 0;

  // Widgets, in creation order.
  Fl_Group* preview_frame = nullptr;
  Fl_Box* preview_box = nullptr;
  Fl_Check_Button* update_toggle = nullptr;
  Fl_Group* batch_frame = nullptr;
  Fl_Input* suffix_input = nullptr;
  Fl_Choice* save_type_choice = nullptr;
  Fl_Group* parameter_frame = nullptr;
  Fl_Group* parameter_group = nullptr;
  Fl_Choice* type_choice = nullptr;
  Fl_Value_Slider* saturation_slider = nullptr;
  Fl_Value_Slider* lightness_slider = nullptr;
  Fl_Value_Slider* contrast_slider = nullptr;
  Fl_Value_Slider* gamma_slider = nullptr;
  Fl_Box* type_caption = nullptr;
  Fl_Button* cancel_button = nullptr;
  Fl_Return_Button* run_button = nullptr;
  Fl_Group* histogram_frame = nullptr;
  HistBox* hist_box = nullptr;

 protected:
  std::unique_ptr<Hdr_image> m_preview_source;  // the full image fitted into the preview box
  std::unique_ptr<Hdr_image> m_preview_work;    // overwritten by each refresh
  std::unique_ptr<Hdr_image> m_full_image;      // replaced by every set-up; may be null
  std::vector<std::string> m_paths;
  bool m_batch = false;
  bool m_has_viewer = false;
  uint32_t m_mode = 0;  // the type's index; kept from one use to the next
  bool m_user_contrast = false;
  bool m_busy = false;           // a preview, a run or a batch serves events inside
  bool m_refresh_again = false;  // a refresh was asked for while one ran
  bool m_batch_running = false;  // from "Tonemap" in a batch until the batch has ended
};

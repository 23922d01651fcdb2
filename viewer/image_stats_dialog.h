// The "Image Stats" dialog: an image's dynamic range in four figures.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <string>

class Fl_Browser;
class Fl_Return_Button;
class Hdr_image;

/// The browser's tooltip.
inline constexpr char k_stats_tooltip[] =
    "Dynamic range is computed in log10 units. 99% and 95% indicate the dynamic range if 1 "
    "and 5 percent of the lightest and darkest pixels are excluded respectively.";

class ImageStatsDialog : public Fl_Double_Window {
 public:
  /// Builds the widgets; modal, placed by the window system.
  ImageStatsDialog(int w, int h, const char* title);

  /// Lists the figures of image (a viewer's, lent; its statistics are computed once and
  /// kept with it) or, when image is null, of the file at path, loaded for this call
  /// only; then shows the dialog. A file that cannot be read is alerted and the dialog
  /// stays hidden, holding the name line only.
  void fill(Hdr_image* image, const std::string& path, const std::string& name);

  Fl_Browser* browser = nullptr;
  Fl_Return_Button* close_button = nullptr;
};

/// The program's image statistics dialog; main creates it.
extern ImageStatsDialog* g_image_stats_dialog;

// The "Image Info" dialog: a file's name, size and pixel dimensions and its EXIF fields
// on five tabs.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <array>
#include <cstdint>
#include <string>

#include "viewer/image_info_text.h"

class Fl_Browser;
class Fl_Return_Button;
class Fl_Tabs;

class ImageInfoDialog : public Fl_Double_Window {
 public:
  /// Builds the widgets; modal, placed by the window system, the "Camera" tab in front.
  ImageInfoDialog(int w, int h, const char* title);

  /// Refills the five tabs for the file at path (name shown as given, width and height
  /// the caller's) and shows the dialog. The tab in front stays as the user left it.
  void fill(const std::string& path, const std::string& name, uint64_t width, uint64_t height);

  Fl_Return_Button* close_button = nullptr;
  Fl_Tabs* tabs = nullptr;
  /// Indexed by Info_tab: "General", "Camera", "Image", "Conditions", "Other".
  std::array<Fl_Browser*, k_info_tabs> browsers{};
};

/// The program's image information dialog; main creates it.
extern ImageInfoDialog* g_image_info_dialog;

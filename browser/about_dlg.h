// The About dialog: the program's picture and a Close button.
#pragma once
#include <FL/Fl_Double_Window.H>

class Fl_Box;
class Fl_Return_Button;

class AboutDlg : public Fl_Double_Window {
 public:
  /// Modal, at (0, 0) and placed by the window system; shows g_about_picture.
  AboutDlg(int w, int h, const char* title);

  Fl_Box* picture_box = nullptr;
  Fl_Return_Button* close_button = nullptr;
};

/// The program's About dialog ("&Help/About..."); main creates it.
extern AboutDlg* g_about_dialog;

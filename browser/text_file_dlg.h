// The two dialogs that show a text file of the program's data: Thanks To and Release
// Notes. Each reads its file once, when it is built.
#pragma once
#include <FL/Fl_Double_Window.H>

class Fl_Box;
class Fl_Return_Button;
class Fl_Text_Buffer;
class Fl_Text_Display;

inline constexpr char k_thanks_file[] = "interface/thanksto.txt";
inline constexpr char k_release_notes_file[] = "interface/release_notes.txt";

/// A modal window with a text display over its own buffer, an empty box and "Close".
/// A missing file leaves the display empty, without a message.
class Text_file_dlg : public Fl_Double_Window {
 public:
  ~Text_file_dlg() override;

  /// The whole text read from the file.
  const Fl_Text_Buffer& text() const { return *m_buffer; }

  Fl_Text_Display* display = nullptr;
  Fl_Return_Button* close_button = nullptr;

 protected:
  struct Layout {
    int display_y, display_h;  // the display spans the width from x = 0
    int box_x, box_y;          // the empty 35 x 17 box
    int button_y;              // "Close" at x 309, 76 x 25
  };
  Text_file_dlg(int w, int h, const char* title, const char* file, const Layout& layout);

 private:
  Fl_Text_Buffer* m_buffer = nullptr;
};

class ThanksToDlg : public Text_file_dlg {
 public:
  /// Reads k_thanks_file (relative to the working folder).
  ThanksToDlg(int w, int h, const char* title);
};

class ReleaseNotesDlg : public Text_file_dlg {
 public:
  /// Reads k_release_notes_file (relative to the working folder).
  ReleaseNotesDlg(int w, int h, const char* title);
};

/// Created at start-up; no command shows them.
extern ThanksToDlg* g_thanks_dialog;
extern ReleaseNotesDlg* g_release_notes_dialog;

// Thanks To and Release Notes: a text display loaded from a file at construction.
#include "browser/text_file_dlg.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

#include "core/dialog_callbacks.h"

ThanksToDlg* g_thanks_dialog = nullptr;
ReleaseNotesDlg* g_release_notes_dialog = nullptr;

namespace {
constexpr int k_read_chunk = 131072;  // bytes per read; the whole file is loaded
}

Text_file_dlg::Text_file_dlg(int w, int h, const char* title, const char* file,
                             const Layout& layout)
    : Fl_Double_Window(0, 0, w, h, title) {
  force_position(0);
  // Requested size 0 and a gap of 1024: the buffer grows as the file is read.
  m_buffer = new Fl_Text_Buffer(0, 1024);
  display = new Fl_Text_Display(0, layout.display_y, w, layout.display_h);
  new Fl_Box(layout.box_x, layout.box_y, 35, 17);
  close_button = new Fl_Return_Button(309, layout.button_y, 76, 25, "Close");
  close_button->callback(hide_parent_cb);
  resizable(display);
  end();
  set_modal();
  m_buffer->loadfile(file, k_read_chunk);  // a missing file leaves the buffer empty
  display->buffer(m_buffer);
}

Text_file_dlg::~Text_file_dlg() {
  // The display refers to the buffer until the window's children are destroyed.
  display->buffer(nullptr);
  delete m_buffer;
}

ThanksToDlg::ThanksToDlg(int w, int h, const char* title)
    : Text_file_dlg(w, h, title, k_thanks_file, {5, 305, 265, 263, 316}) {}

ReleaseNotesDlg::ReleaseNotesDlg(int w, int h, const char* title)
    : Text_file_dlg(w, h, title, k_release_notes_file, {8, 306, 345, 293, 319}) {}

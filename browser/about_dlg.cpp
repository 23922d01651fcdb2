// The About dialog's widgets.
#include "browser/about_dlg.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Return_Button.H>

#include "core/app_globals.h"
#include "core/dialog_callbacks.h"

AboutDlg* g_about_dialog = nullptr;

AboutDlg::AboutDlg(int w, int h, const char* title) : Fl_Double_Window(0, 0, w, h, title) {
  force_position(0);
  // The picture is 420 x 315, drawn centred in a box a little larger than the window,
  // so it covers the whole window.
  picture_box = new Fl_Box(-1, 1, 420, 301);
  picture_box->image(&g_about_picture);
  close_button = new Fl_Return_Button(335, 272, 80, 25, "Close");
  close_button->callback(hide_parent_cb);
  end();
  set_modal();
}

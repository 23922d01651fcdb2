// The progress window of the long HDR jobs: a bar per phase, an overall bar for batches
// and "Cancel". Each call that moves a bar runs Fl::check so the window repaints and the
// button is seen while the job runs on the GUI thread.
#pragma once
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>

#include "core/app_globals.h"  // g_progress_dialog, made by main
#include "hdr/progress.h"

class ProgressDialog : public Fl_Double_Window, public Progress {
 public:
  /// Builds the modal window (placed by the window system) and its widgets, hidden.
  ProgressDialog(int width, int height, const char* title);

  void start(float value, float minimum, float maximum, const char* label) override;
  int update(float value, const char* label = nullptr) override;
  /// Sets the overall bar and moves the first bar up; neither shows the window nor pumps.
  void show_overall(float value, float minimum, float maximum, const char* label) override;
  void update_overall(float value, const char* label = nullptr) override;
  void hide_overall() override;

  Fl_Progress* first_bar() const { return m_bar; }
  Fl_Progress* overall_bar() const { return m_overall; }
  Fl_Button* cancel_button() const { return m_cancel; }
  /// 0 while the job may go on, -1 once "Cancel" was pressed (until the next start).
  int cancel_flag() const { return m_cancel_flag; }

 private:
  void make_window();
  static void cb_cancel(Fl_Widget* w, void* v);

  Fl_Progress* m_bar = nullptr;
  Fl_Button* m_cancel = nullptr;
  Fl_Progress* m_overall = nullptr;
  int m_cancel_flag = 0;
};

// The progress window: layout, the two bars and the cancel flag.
#include "hdr/progress_dialog.h"

#include <FL/Fl.H>

#include "core/busy_cursor.h"

namespace {
// The single bar sits at y 42; with the overall bar shown the two stand 30 px apart.
constexpr int k_bar_x = 65;
constexpr int k_bar_y_single = 42;
constexpr int k_bar_y_with_overall = 22;
constexpr int k_overall_y = 52;
}  // namespace

ProgressDialog::ProgressDialog(int width, int height, const char* title)
    : Fl_Double_Window(width, height, title) {
  make_window();
  set_modal();
  end();
}

void ProgressDialog::make_window() {
  m_bar = new Fl_Progress(k_bar_x, k_bar_y_single, 290, 21, "label");
  m_bar->selection_color(FL_BLUE);
  m_cancel = new Fl_Button(173, 85, 74, 25, "Cancel");
  m_cancel->callback(cb_cancel, this);
  m_overall = new Fl_Progress(k_bar_x, k_overall_y, 290, 21, "label");
  m_overall->selection_color(FL_BLUE);
  m_overall->hide();
}

void ProgressDialog::cb_cancel(Fl_Widget*, void* v) {
  static_cast<ProgressDialog*>(v)->m_cancel_flag = -1;
}

void ProgressDialog::start(float value, float minimum, float maximum, const char* label) {
  m_cancel_flag = 0;
  m_bar->minimum(minimum);
  m_bar->redraw();
  m_bar->maximum(maximum);
  m_bar->redraw();
  m_bar->value(value);
  m_bar->redraw();
  m_bar->label(label);
  show();
  serve_events();
}

int ProgressDialog::update(float value, const char* label) {
  m_bar->value(value);
  m_bar->redraw();
  if (label) m_bar->label(label);
  serve_events();
  return m_cancel_flag;
}

void ProgressDialog::show_overall(float value, float minimum, float maximum, const char* label) {
  m_overall->minimum(minimum);
  m_overall->redraw();
  m_overall->maximum(maximum);
  m_overall->redraw();
  m_overall->value(value);
  m_overall->redraw();
  m_overall->label(label);
  m_bar->position(k_bar_x, k_bar_y_with_overall);
  m_overall->position(k_bar_x, k_overall_y);
  m_overall->show();
  redraw();
}

void ProgressDialog::update_overall(float value, const char* label) {
  m_overall->value(value);
  m_overall->redraw();
  if (label) m_overall->label(label);
  serve_events();
}

void ProgressDialog::hide_overall() {
  m_bar->position(k_bar_x, k_bar_y_single);
  m_overall->hide();
  redraw();
}

// The status-bar progress bar of batch jobs (see the header).
#include "core/status_progress.h"

#include <FL/Fl_Progress.H>

#include "core/app_globals.h"
#include "core/event_pump.h"

Status_progress::Status_progress(int count, const char* label) {
  if (Fl_Progress* bar = g_status_progress) {
    bar->minimum(0);
    bar->maximum(float(count));
    bar->value(0);
    bar->label(label);
    bar->show();
  }
}

Status_progress::~Status_progress() {
  if (g_status_progress) g_status_progress->hide();
}

void Status_progress::range(int count) {
  if (Fl_Progress* bar = g_status_progress) {
    bar->maximum(float(count));
    bar->redraw();
  }
}

void Status_progress::step(int index) {
  if (Fl_Progress* bar = g_status_progress) {
    bar->value(float(index));
    bar->redraw();
  }
  pump_events();
}

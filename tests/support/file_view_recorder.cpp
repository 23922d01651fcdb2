#include "tests/support/file_view_recorder.h"

#include <FL/Fl_Group.H>

#include "core/app_globals.h"
#include "core/file_names.h"

namespace {

File_view_recorder* s_recording = nullptr;  // the one whose pump is installed

}  // namespace

File_view_recorder::Bar::Bar(File_view_recorder& owner)
    : Fl_Progress(0, 0, 212, 18), m_owner(owner) {
  Fl_Progress::hide();  // as the main window keeps it until a job runs
}

void File_view_recorder::Bar::show() {
  m_owner.events.push_back("begin " + std::to_string(int(maximum())) + " " +
                           (label() ? label() : ""));
  Fl_Progress::show();
  clear_damage();  // showing is no step
}

void File_view_recorder::Bar::hide() {
  m_owner.events.push_back("end");
  Fl_Progress::hide();
}

File_view_recorder::File_view_recorder(std::string shown_folder) : shown(std::move(shown_folder)) {
  // A bar of no window: none is open in these tests.
  Fl_Group* const group = Fl_Group::current();
  Fl_Group::current(nullptr);
  m_bar = new Bar(*this);
  Fl_Group::current(group);
  m_saved_bar = g_status_progress;
  g_status_progress = m_bar;
  s_recording = this;
  m_saved_pump = set_event_pump(record_step);

  answers().file_written = [this](const std::string& path) {
    if (in_shown_folder(path)) events.push_back("added " + path);
  };
  answers().file_removed = [this](const std::string& path) {
    if (in_shown_folder(path)) events.push_back("removed " + path);
  };
  answers().file_rotated = [this](const std::string& path, int degrees) {
    events.push_back("rotated " + std::to_string(degrees) + " " + path);
  };
  answers().file_flipped = [this](const std::string& path, char axis) {
    events.push_back(std::string("flipped ") + axis + " " + path);
  };
}

File_view_recorder::~File_view_recorder() {
  set_event_pump(m_saved_pump);
  s_recording = nullptr;
  g_status_progress = m_saved_bar;
  delete m_bar;
}

bool File_view_recorder::in_shown_folder(const std::string& path) const {
  std::string folder, name;
  split_path(path, folder, name);
  return !shown.empty() && folder == shown;
}

void File_view_recorder::record_step() {
  // Events are served inside a job too (a reader's long loop): a step is a pump after the
  // bar was given a value and redrawn, each one recorded, also of the same value.
  File_view_recorder* const r = s_recording;
  if (!r || !r->m_bar->visible() || !r->m_bar->damage()) return;
  r->m_bar->clear_damage();
  const int index = int(r->m_bar->value());
  r->events.push_back("step " + std::to_string(index));
  for (const auto& hook : r->on_step)
    if (hook.first == index) hook.second(r->step_data);
}

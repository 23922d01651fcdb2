// The "Save File As..." chooser (see the header).
#include "viewer/save_as_chooser.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>

#include "core/action_scopes.h"
#include "core/browser_seam.h"
#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/file_names.h"
#include "core/hdr_image.h"
#include "core/image_save.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/preferences_dlg.h"
#include "viewer/exposure_save.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/save_formats.h"

SaveAsChooser* g_save_as_chooser = nullptr;

SaveAsChooser::SaveAsChooser(const char* filter)
    : Fl_File_Chooser(".", filter, Fl_File_Chooser::CREATE, "Save File As...") {
  m_source_path.clear();
  callback(ok_cb, this);
  Fl_File_Chooser::custom_filter_label = "";
}

SaveAsChooser::~SaveAsChooser() { watch_viewer(nullptr); }

void SaveAsChooser::watch_viewer(ImageDialogDrv* viewer) {
  if (m_viewer) Fl::release_widget_pointer(m_viewer);
  m_viewer = viewer;
  if (m_viewer) Fl::watch_widget_pointer(m_viewer);
}

ImageDialogDrv* SaveAsChooser::viewer() const { return dynamic_cast<ImageDialogDrv*>(m_viewer); }

void SaveAsChooser::ok_cb(Fl_File_Chooser*, void* self) {
  static_cast<SaveAsChooser*>(self)->on_ok();
}

void SaveAsChooser::show_for(ImageDialogDrv* viewer, uint32_t type, const std::string& path) {
  watch_viewer(viewer);
  m_from_viewer = viewer != nullptr;
  m_source_type = type;
  m_source_path = path;
  m_source_hdr = is_hdr_type(type);
  filter(m_source_hdr ? k_hdr_save_formats : k_ldr_save_formats);
  filter_value(preselected_format(m_source_hdr, type));
  std::string folder, name;
  split_path(path, folder, name);
  directory(folder.c_str());
  show();
}

bool SaveAsChooser::output_path_and_type(std::string& path, uint32_t& type) {
  return complete_output_path(m_source_hdr, filter_value(), path, type);
}

std::string SaveAsChooser::chosen_path() {
  const char* chosen = value(1);
  if (!chosen || !*chosen) return {};
  std::string path = chosen;
  // A bare name typed into the field is meant in the folder shown.
  if (path[0] != '/') {
    const char* dir = directory();
    std::string folder = dir ? dir : "";
    if (!folder.empty() && folder.back() != '/') folder += '/';
    path = folder + path;
  }
  return path;
}

void SaveAsChooser::on_ok() {
  if (m_saving) return;
  // The chooser also calls back on every click in its list; only OK (the window is gone)
  // or Enter ends the choice.
  if (visible() && Fl::event_key() != FL_Enter) return;
  std::string path = chosen_path();
  if (path.empty()) return;
  // The source is taken now: the question and the busy cursor below serve events, and a
  // Save As from another viewer arriving then must not change what this one saves.
  const bool from_viewer = m_from_viewer;
  Fl_Widget_Tracker source_viewer(m_viewer);
  const std::string source_path = m_source_path;
  const uint32_t source_type = m_source_type;

  uint32_t type = 0;
  if (!output_path_and_type(path, type)) {
    show_alert("Please select a named format.");
    return;
  }
  if (file_exists(path) && ask_before_overwriting() &&
      ask_choice(path + "  exists. Do you want to overwrite?", "Cancel", "Overwrite", nullptr) == 0)
    return;

  bool saved = false;
  {
    Guard saving(m_saving);
    Busy busy;
    Command().fallback("Cannot write image data to file: " + path).run([&] {
      if (!from_viewer) {
        save_source_file(source_path, source_type, path, type);
        saved = true;
      } else {
        saved =
            save_viewer_image(dynamic_cast<ImageDialogDrv*>(source_viewer.widget()), path, type);
      }
      if (saved) file_written(path);
    });
  }
}

bool SaveAsChooser::save_viewer_image(ImageDialogDrv* v, const std::string& path, uint32_t type) {
  // Null when the viewer was deleted while events were served.
  if (!v || !v->get_image()) return false;
  // A JPEG keeps the EXIF block of the viewer's file, whatever the new name.
  save_image_at_exposure(*v->get_image(), v->exposure_factor(), path, type, v->get_path());
  // Renames the viewer, or closes it when its Close asked for this save.
  v->after_save_as(path);
  return true;
}

void SaveAsChooser::save_source_file(const std::string& source, uint32_t source_type,
                                     const std::string& path, uint32_t type) {
  Hdr_image image(source, source_type);
  // Same format: the file is copied byte for byte (left alone when it is the source).
  save_image(image, path, type, source, source_type, false);
}

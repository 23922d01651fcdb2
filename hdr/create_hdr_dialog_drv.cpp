// The "Create HDR" dialog's behaviour. The algorithms (grouping, exposure values, merge,
// saving) are free functions; this class reads the widgets, copies what it needs out of
// the browser's tiles and restores the dialog after every run.
#include "hdr/create_hdr_dialog_drv.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Float_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <exception>
#include <map>

#include "core/app_globals.h"
#include "core/browser_seam.h"
#include "core/busy_cursor.h"
#include "core/command_boundary.h"
#include "core/platform.h"
#include "core/preferences.h"
#include "core/preferences_dlg.h"
#include "hdr/enter_response_dlg.h"
#include "hdr/exposure_alignment.h"
#include "hdr/exposure_exif.h"
#include "hdr/plot_dlg.h"
#include "hdr/progress_dialog.h"
#include "hdr/response_recovery.h"

CreateHDRDialogDrv* g_create_hdr_dialog = nullptr;

namespace {

const char* const k_unknown = "Unknown";

void set_item_active(Fl_Choice* choice, const char* label, bool on) {
  if (Fl_Menu_Item* item = CreateHDRDialog::find_item(choice, label)) {
    if (on)
      item->activate();
    else
      item->deactivate();
  }
}

Progress& current_progress() {
  static Silent_progress silent;
  if (g_progress_dialog) return *g_progress_dialog;
  return silent;
}

std::string text_of(const Fl_Input_* input) {
  return input && input->value() ? input->value() : "";
}

}  // namespace

CreateHDRDialogDrv::CreateHDRDialogDrv(int width, int height, const char* title)
    : CreateHDRDialog(width, height, title), m_assembly(std::make_unique<Assembly_state>()) {
  m_align = align_exposures;
  m_recover = [](const std::vector<Exposure_planes>& exposures,
                 const std::vector<float>& exposure_times, Camera_response& camera) {
    return recover_response(exposures, exposure_times.data(), int(exposure_times.size()),
                            camera.coefficients, camera.f, camera.f_inv, camera.f_pri,
                            current_progress());
  };
}

CreateHDRDialogDrv::~CreateHDRDialogDrv() = default;

Fl_Preferences* CreateHDRDialogDrv::store() const {
  return m_store ? m_store : static_cast<Fl_Preferences*>(g_preferences);
}

void CreateHDRDialogDrv::read_camera_make_model(std::string path, std::string& make,
                                                std::string& model) {
  ::read_camera_make_model(path, make, model);
}

void CreateHDRDialogDrv::open_for_selection(bool batch) {
  m_chosen = selected_paths();
  m_batch = batch ? 1 : 0;

  m_exif_make = k_unknown;
  m_exif_model = k_unknown;
  if (!m_chosen.empty()) read_camera_make_model(m_chosen.front(), m_exif_make, m_exif_model);
  m_camera_name = m_exif_make + " " + m_exif_model;

  plot_button->deactivate();
  if (m_exif_make != k_unknown && m_exif_model != k_unknown) {
    Fl_Preferences* root = store();
    if (root && has_stored_response(*root, m_camera_name)) {
      set_item_active(camera_response, "Recover new response", true);
      set_item_active(camera_response, "Use recovered response", true);
      plot_button->activate();
    } else {
      set_item_active(camera_response, "Use recovered response", false);
      set_item_active(camera_response, "Recover new response", true);
    }
  } else {
    set_item_active(camera_response, "Recover new response", false);
    set_item_active(camera_response, "Use recovered response", false);
    camera_response->value(k_response_srgb);
  }

  const std::string folder = current_folder();
  destination->value(folder.c_str());
  if (m_batch)
    batch_group->activate();
  else
    batch_group->deactivate();
  show();
}

Hdr_creation_settings CreateHDRDialogDrv::output_settings() const {
  Hdr_creation_settings s;
  s.batch = m_batch != 0;
  s.destination = text_of(destination);
  s.base_name = text_of(base_name);
  s.hdr_type_index = hdr_save_type->value();
  s.ldr_type_index = ldr_save_type->value();
  s.tone_map = tone_map->value() != 0;
  s.save_both = save_both->value() != 0;
  s.prompt_on_overwrite = ask_before_overwriting();
  s.gamma = g_preferences_dialog ? g_preferences_dialog->gamma() : 2.2f;
  return s;
}

void CreateHDRDialogDrv::hdr_file_name(uint64_t k, std::string& path, uint32_t& type) const {
  ::hdr_file_name(output_settings(), k, path, type);
}

void CreateHDRDialogDrv::ldr_file_name(uint64_t k, std::string& path, uint32_t& type) const {
  ::ldr_file_name(output_settings(), k, path, type);
}

bool CreateHDRDialogDrv::confirm_overwrite(std::string path) const {
  Message_questions questions;
  return ::confirm_overwrite(path, output_settings().prompt_on_overwrite, questions);
}

std::vector<Selected_file> CreateHDRDialogDrv::resolve_chosen() const {
  std::vector<Selected_file> files;
  for (const std::string& path : m_chosen) {
    Selected_file f;
    if (describe_tile(path, f)) files.push_back(std::move(f));
  }
  return files;
}

void CreateHDRDialogDrv::group_exposures(const std::vector<Selected_file>& files,
                                         std::vector<Exposure_inputs>& groups) {
  std::vector<Exposure_record> records;
  std::map<std::string, const Selected_file*> by_path;
  for (const Selected_file& f : files) {
    Exposure_record r;
    r.path = f.path;
    r.thumb_pixels = f.thumb_pixels;
    r.thumb_w = f.thumb_w;
    r.thumb_h = f.thumb_h;
    records.push_back(std::move(r));
    by_path.emplace(f.path, &f);
  }
  Grouping_settings gs;
  gs.batch = m_batch != 0;
  gs.exposures_per_hdr = exposures_per_hdr->value();
  gs.autodetect = autodetect->value() != 0;
  gs.response_choice = camera_response->value();
  gs.camera_name = m_camera_name;
  gs.exposure_variation = exposure_variation->value();
  gs.exposure_ratio = text_of(exposure_ratio);

  // However the grouping ends, a failed autodetection shows before its alert: the box
  // unchecked, the count to type active.
  struct Autodetect_shown {
    CreateHDRDialogDrv& dialog;
    const Grouping_settings& settings;
    ~Autodetect_shown() {
      if (!settings.autodetect && dialog.autodetect->value()) {
        dialog.autodetect->value(0);
        dialog.exposures_per_hdr->activate();
      }
    }
  } shown{*this, gs};
  Exposure_groups formed;
  Message_questions questions;
  ::group_exposures(records, gs, formed, questions);
  for (const std::vector<Exposure_record>& g : formed) {
    Exposure_inputs inputs;
    for (const Exposure_record& r : g) {
      auto it = by_path.find(r.path);
      if (it == by_path.end()) continue;
      Exposure_input in;
      in.path = r.path;
      in.type = it->second->type;
      // A tile's header sides are 32-bit.
      in.width = uint32_t(it->second->width);
      in.height = uint32_t(it->second->height);
      in.exposure = r.exposure;
      inputs.push_back(std::move(in));
    }
    if (!inputs.empty()) groups.push_back(std::move(inputs));
  }
}

int CreateHDRDialogDrv::build_hdr(Hdr_image& result, std::vector<Exposure_planes>& exposures,
                                  const std::vector<float>& exposure_times,
                                  std::vector<int>& uncompared) {
  Stored_response_source source(store(), m_recover);
  source.set_camera_name(m_camera_name);
  Assembly_settings a;
  a.response_choice = camera_response->value();
  a.reduce_noise = reduce_noise->value() != 0;
  a.align = align_images->value() != 0;
  a.camera_source = &source;
  a.align_exposures = m_align;
  Message_questions questions;
  const int r =
      ::build_hdr(*m_assembly, result, exposures, exposure_times, a, current_progress(), questions);
  // An answer to a response question stays for the next groups and the next use.
  camera_response->value(a.response_choice);
  uncompared = a.uncompared_pairs;
  return r;
}

void CreateHDRDialogDrv::end_run(bool hide_dialog) {
  if (g_progress_dialog) g_progress_dialog->hide();
  set_busy_cursor(FL_CURSOR_DEFAULT);
  if (hide_dialog) hide();
  activate();
  m_running = false;
}

void CreateHDRDialogDrv::create() {
  // A second "Create" from an event served inside the run is ignored.
  if (m_running) return;
  const Hdr_creation_settings settings = output_settings();
  // Refused before anything changes: the dialog stays as it is.
  if (!Command().keep_cursor().run([&] { check_batch_output(settings); })) return;
  m_running = true;
  deactivate();
  set_busy_cursor(FL_CURSOR_WAIT);
  bool hide_dialog = false;
  // end_run puts the cursor back and the dialog in its state between uses, also when the
  // browser cannot keep its tiles.
  Command().keep_cursor().on_failure([this, &hide_dialog] { end_run(hide_dialog); }).run([&] {
    const std::shared_ptr<void> keep = keep_tiles();
    run_creation(settings, hide_dialog);
  });
}

void CreateHDRDialogDrv::run_creation(const Hdr_creation_settings& settings, bool& hide_dialog) {
  // Looked up after the busy cursor's pump: the browser may have left the folder.
  const std::vector<Selected_file> chosen = resolve_chosen();
  if (chosen.empty()) {
    if (m_chosen.empty()) {
      end_run(false);
      return;
    }
    hide_dialog = true;  // nothing left to create from: the dialog goes with its selection
    throw Refusal("None of the chosen images can be found any more. Please select them again.");
  }
  std::vector<Exposure_inputs> groups;
  group_exposures(chosen, groups);
  std::unique_ptr<Hdr_image> result;
  Message_questions questions;
  const Creation_end end = run_hdr_creation(
      groups, settings,
      [this](Hdr_image& r, std::vector<Exposure_planes>& e, const std::vector<float>& t,
             std::vector<int>& uncompared) { return build_hdr(r, e, t, uncompared); },
      file_written, current_progress(), questions, result);
  end_run(end != Creation_end::stopped);
  if (end == Creation_end::opened && result) {
    const std::string folder = current_folder();
    show_result(std::move(result), folder);
  }
}

void CreateHDRDialogDrv::plot_response() {
  Fl_Preferences* root = store();
  if (!g_plot_dialog || !root) return;
  // The loaded tables become the dialog's camera response, as after a stored-response
  // assembly; a camera without one shows nothing.
  Camera_response& camera = m_assembly->response.camera;
  if (!::load_response(*root, m_camera_name, camera)) return;
  g_plot_dialog->set_response(m_exif_make, m_exif_model, camera.f_inv[0].data(),
                              camera.f_inv[1].data(), camera.f_inv[2].data(), k_response_levels);
}

void CreateHDRDialogDrv::enter_response() {
  if (g_enter_response_dialog) g_enter_response_dialog->open();
}

void CreateHDRDialogDrv::browse_destination() {
  choose_directory(*this,
                   [this](const std::string& folder) { destination->value(folder.c_str()); });
}

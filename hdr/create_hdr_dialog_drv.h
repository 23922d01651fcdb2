// The "Create HDR" dialog's behaviour: its set-up for the browser's selection, the
// creation it starts, and the state the creation keeps between uses (camera, responses,
// weighting tables).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "core/selected_file.h"
#include "hdr/create_hdr_dialog.h"
#include "hdr/exposure_groups.h"
#include "hdr/hdr_assembly.h"
#include "hdr/hdr_creation.h"
#include "hdr/response_store.h"

class Fl_Preferences;

class CreateHDRDialogDrv : public CreateHDRDialog {
 public:
  CreateHDRDialogDrv(int width, int height, const char* title);
  ~CreateHDRDialogDrv() override;

  /// The set-up: copies the selection, reads the first file's camera, greys the
  /// stored-response items the store cannot serve, fills the destination with the current
  /// folder, (de)activates the batch options and shows the dialog.
  void open_for_selection(bool batch) override;
  /// "Create": groups, merges and opens (single) or saves (batch) the chosen files.
  void create() override;
  /// "Plot": shows the stored response of the dialog's camera (its three inverse tables)
  /// in g_plot_dialog; nothing, and no message, when the store holds none.
  void plot_response() override;
  /// "Enter response": opens g_enter_response_dialog.
  void enter_response() override;

  /// EXIF make (tag 271) and model (tag 272) of the file, each "Unknown" when absent.
  void read_camera_make_model(std::string path, std::string& make, std::string& model);
  /// The output file of group k: path and type code.
  void hdr_file_name(uint64_t k, std::string& path, uint32_t& type) const;
  void ldr_file_name(uint64_t k, std::string& path, uint32_t& type) const;
  /// True when the existing file is to be skipped (see confirm_overwrite in hdr_creation.h).
  bool confirm_overwrite(std::string path) const;
  /// Merges one group with the dialog's response and options; 0, or -1 to stop. Sets
  /// uncompared to the pairs the alignment could not compare.
  int build_hdr(Hdr_image& result, std::vector<Exposure_planes>& exposures,
                const std::vector<float>& exposure_times, std::vector<int>& uncompared);

  /// The store responses are kept in (not owned; null: g_preferences).
  void set_store(Fl_Preferences* root) { m_store = root; }
  /// The alignment the "Align images" option runs (null: none).
  void set_align(Align_exposures_fn align) { m_align = align; }
  /// The recovery "Recover new response" runs (null: every recovery fails).
  void set_recover(Recover_response_fn recover) { m_recover = std::move(recover); }

  /// The output settings as the widgets show them now.
  Hdr_creation_settings output_settings() const;

  bool batch() const { return m_batch != 0; }
  /// Full paths of the chosen files, in selection order.
  const std::vector<std::string>& chosen_files() const { return m_chosen; }
  const std::string& camera_name() const { return m_camera_name; }
  const std::string& exif_make() const { return m_exif_make; }
  const std::string& exif_model() const { return m_exif_model; }
  Assembly_state& assembly_state() { return *m_assembly; }

 private:
  void browse_destination() override;
  Fl_Preferences* store() const;
  /// The chosen files that still have a tile, copied out of them.
  std::vector<Selected_file> resolve_chosen() const;
  /// Groups the files with their relative exposures; throws Refusal when there is nothing
  /// to create (a failed autodetection leaves its box unchecked).
  void group_exposures(const std::vector<Selected_file>& files,
                       std::vector<Exposure_inputs>& groups);
  /// The creation after the busy cursor is on; throws Refusal. hide_dialog says whether a
  /// refusal takes the dialog away (its chosen files are gone).
  void run_creation(const Hdr_creation_settings& settings, bool& hide_dialog);
  /// Back to the state between uses: dialog active, progress hidden, cursor reset.
  void end_run(bool hide_dialog);

  uint8_t m_batch = 0;
  std::vector<std::string> m_chosen;
  std::string m_camera_name = "Unknown";
  std::string m_exif_make = "Unknown";
  std::string m_exif_model = "Unknown";
  std::unique_ptr<Assembly_state> m_assembly;  // large tables: kept off the stack
  Fl_Preferences* m_store = nullptr;
  Align_exposures_fn m_align = nullptr;
  Recover_response_fn m_recover;
  bool m_running = false;
};

/// The program's HDR creation dialog; main creates it.
extern CreateHDRDialogDrv* g_create_hdr_dialog;

// The HDR creation run over groups of exposures: loading, merging, and in batch mode
// saving each result (and its tone-mapped copy) under a numbered name. Plain data in,
// the merge and the grid refresh as hooks, so the dialog stays thin and tests need no window.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/browser_seam.h"  // File_written_fn
#include "core/hdr_image.h"
#include "hdr/exposure_planes.h"
#include "hdr/hdr_questions.h"
#include "hdr/progress.h"

/// One exposure of a group, copied out of its tile before any event is served.
struct Exposure_input {
  std::string path;
  uint32_t type = 0;               // image type code of the tile
  uint32_t width = 0, height = 0;  // from the file's header
  float exposure = 0.f;            // relative exposure
};
/// One group: the exposures of one HDR image, by ascending relative exposure.
using Exposure_inputs = std::vector<Exposure_input>;

/// The dialog's output settings as the run reads them.
struct Hdr_creation_settings {
  bool batch = false;
  std::string destination;  // "Destination Directory"
  std::string base_name;    // "Base Name:"
  int hdr_type_index = 0;   // "HDR Save Type:" (-1: nothing selected)
  int ldr_type_index = 0;   // "LDR Save Type:"
  bool tone_map = false;    // "Tonemap"
  bool save_both = true;    // "Save both" (off: "Save only LDR")
  bool prompt_on_overwrite = true;
  float gamma = 2.2f;  // display gamma of the tone-mapped copy
};

/// The HDR image (path and type code) of group k.
void hdr_file_name(const Hdr_creation_settings& s, uint64_t k, std::string& path, uint32_t& type);
/// The tone-mapped copy of group k.
void ldr_file_name(const Hdr_creation_settings& s, uint64_t k, std::string& path, uint32_t& type);

/// With "Tonemap" and "Save both", the HDR image and its copy would get one name (both
/// TIFF) and the copy would replace the HDR image just written: that path, else "".
std::string colliding_output_path(const Hdr_creation_settings& s);

/// Throws Refusal when a batch could not write what it makes: "Destination directory is
/// not accessible!", or the HDR image and its copy would share one name. Nothing to check
/// for a single creation.
void check_batch_output(const Hdr_creation_settings& s);

/// True when the file is to be skipped: it exists, the overwrite prompt is on and the user
/// answered "Skip" to "<path> exists. Do you want to overwrite it?" (asked through questions).
bool confirm_overwrite(const std::string& path, bool prompt_on_overwrite, Hdr_questions& questions);

/// The merge of one group: fills result (sized, zeroed) from the exposures and sets
/// uncompared to the pairs i (exposures i and i + 1) its alignment could not compare; 0,
/// or -1 when the creation is to stop ("Cancel"). A Refusal it throws ends the creation.
using Build_hdr_fn =
    std::function<int(Hdr_image& result, std::vector<Exposure_planes>& exposures,
                      const std::vector<float>& times, std::vector<int>& uncompared)>;

/// The warning after a run in which exposures could not be aligned; pairs holds the
/// paths of each pair.
std::string unaligned_warning(const std::vector<std::pair<std::string, std::string>>& pairs);

enum class Creation_end {
  finished,  // batch done (groups may have been skipped), or no group at all
  opened,    // single creation: the result is handed back
  stopped,   // "Cancel"
};

/// Runs the creation over groups: a single creation (settings.batch off) merges group 0
/// and moves it into single_result; a batch saves every group into settings.destination.
/// written is told each file the batch wrote. An exposure that cannot be read, or whose size
/// or exposure value is not the group's, is refused with its path: a single creation throws
/// the Refusal, a batch warns through questions and goes on with the next group, as after a
/// save that fails (warned with the file's path). An output path that is one of the exposures
/// is never written. The overwrite question goes through questions, and so does one warning
/// at the end of a run that was not stopped, naming every pair of exposures the alignment
/// could not compare (unaligned_warning). Leaves the progress
/// window to the caller (hide it afterwards); hides the overall bar it showed, also when build
/// (or the tone mapping) throws, the exception then passing on.
Creation_end run_hdr_creation(const std::vector<Exposure_inputs>& groups,
                              const Hdr_creation_settings& settings, const Build_hdr_fn& build,
                              const File_written_fn& written, Progress& progress,
                              Hdr_questions& questions, std::unique_ptr<Hdr_image>& single_result);

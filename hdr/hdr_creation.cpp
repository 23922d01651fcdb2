// The HDR creation run. Nothing here holds a tile: every progress call serves events, and
// the exposures are named by path only.
#include "hdr/hdr_creation.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "core/image_errors.h"
#include "core/image_save.h"
#include "core/pixel_buffers.h"
#include "core/platform.h"
#include "core/refusal.h"
#include "hdr/exposure_load.h"
#include "hdr/hdr_assembly.h"
#include "hdr/hdr_output_types.h"
#include "hdr/tonemap_photographic.h"

void hdr_file_name(const Hdr_creation_settings& s, uint64_t k, std::string& path, uint32_t& type) {
  const Output_type& t = hdr_output_type(s.hdr_type_index);
  path = numbered_output_path(s.destination, s.base_name, k, t.extension);
  type = t.type;
}

void ldr_file_name(const Hdr_creation_settings& s, uint64_t k, std::string& path, uint32_t& type) {
  const Output_type& t = ldr_output_type(s.ldr_type_index);
  path = numbered_output_path(s.destination, s.base_name, k, t.extension);
  type = t.type;
}

std::string colliding_output_path(const Hdr_creation_settings& s) {
  if (!s.batch || !s.tone_map || !s.save_both) return std::string();
  std::string hdr, ldr;
  uint32_t type = 0;
  hdr_file_name(s, 0, hdr, type);
  ldr_file_name(s, 0, ldr, type);
  return hdr == ldr ? hdr : std::string();
}

void check_batch_output(const Hdr_creation_settings& s) {
  if (!s.batch) return;
  if (!file_exists(s.destination)) throw Refusal("Destination directory is not accessible!");
  const std::string clash = colliding_output_path(s);
  if (!clash.empty())
    throw Refusal("The HDR image and its tonemapped copy would both be saved as " + clash +
                  ".\nPlease choose another save type for one of them.");
}

bool confirm_overwrite(const std::string& path, bool prompt_on_overwrite,
                       Hdr_questions& questions) {
  if (!prompt_on_overwrite || !file_exists(path)) return false;
  return questions.ask(path + " exists. Do you want to overwrite it?", "Skip", "Overwrite",
                       nullptr) == 0;
}

std::string unaligned_warning(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string text =
      "These exposures could not be aligned with each other; they were merged as they are:";
  for (const auto& [a, b] : pairs) text += "\n" + a + " and " + b;
  return text;
}

namespace {

bool is_input(const std::vector<Exposure_inputs>& groups, const std::string& path) {
  for (const Exposure_inputs& g : groups)
    for (const Exposure_input& e : g)
      if (e.path == path || same_file(e.path, path)) return true;
  return false;
}

// Writes one output file unless it is skipped; false when nothing was written (a failure
// was warned of).
bool save_output(Hdr_image& image, const std::string& path, uint32_t type,
                 const std::vector<Exposure_inputs>& groups, bool prompt,
                 Hdr_questions& questions) {
  // Replacing an exposure would lose the user's photograph (and feed a later group the
  // wrong picture), whatever the overwrite setting says.
  if (is_input(groups, path)) {
    questions.warn("The output file " + path +
                   " is one of the exposures being merged; it is not overwritten.");
    return false;
  }
  if (confirm_overwrite(path, prompt, questions)) return false;
  try {
    save_image_as(image, path, type);
    return true;
  } catch (const std::exception& e) {
    questions.warn(text_naming(e.what(), path, e.what() + std::string("\n") + path));
    return false;
  }
}

// The overall bar of a batch, hidden again however the run ends: also when the merge or
// the tone mapping throws, so the next run does not start with it.
class Overall_bar {
 public:
  Overall_bar(Progress& progress, bool shown, float groups) : m_progress(progress), m_shown(shown) {
    if (m_shown) m_progress.show_overall(0.f, 0.f, groups, "Overall");
  }
  ~Overall_bar() {
    if (m_shown) m_progress.hide_overall();
  }
  Overall_bar(const Overall_bar&) = delete;
  Overall_bar& operator=(const Overall_bar&) = delete;

 private:
  Progress& m_progress;
  bool m_shown;
};

enum class Group_end { done, skipped, stop };

// Loads the group's exposures; stop on "Cancel". Throws Refusal naming the exposure that
// cannot be read or whose size or exposure value is not the group's.
Group_end load_group(const Exposure_inputs& group, std::vector<Rgb8_image>& images,
                     Progress& progress) {
  progress.start(0.f, 0.f, float(group.size()), "Loading images");
  const uint32_t w = group.front().width, h = group.front().height;
  // The image type's move may throw, so a growing vector would copy every exposure held.
  images.reserve(group.size());
  for (size_t i = 0; i < group.size(); ++i) {
    const Exposure_input& e = group[i];
    try {
      images.push_back(load_exposure(e.path, e.type));
    } catch (const std::exception& ex) {
      throw Refusal("Cannot read the exposure " + e.path + ":\n" + ex.what());
    }
    const Rgb8_image& im = images.back();
    if (uint32_t(im.width()) != w || uint32_t(im.height()) != h || im.spectrum() != 3)
      throw Refusal(std::string(k_message_size_mismatch) + "\n" + e.path);
    if (!(e.exposure > 0.f) || !std::isfinite(e.exposure))
      throw Refusal(std::string(k_message_bad_exposure) + "\n" + e.path);
    if (progress.update(float(i + 1)) == -1) return Group_end::stop;
  }
  return Group_end::done;
}

// Saves the merged group k (and its tone-mapped copy); skipped when the user said "Skip"
// or a file could not be written.
Group_end save_group(Hdr_image& result, uint64_t k, const std::vector<Exposure_inputs>& groups,
                     const Hdr_creation_settings& s, const File_written_fn& written,
                     Progress& progress, Hdr_questions& questions) {
  const bool only_ldr = s.tone_map && !s.save_both;
  std::string hdr_path, ldr_path;
  uint32_t hdr_type = 0, ldr_type = 0;
  hdr_file_name(s, k, hdr_path, hdr_type);
  if (!only_ldr) {
    if (!save_output(result, hdr_path, hdr_type, groups, s.prompt_on_overwrite, questions))
      return Group_end::skipped;
    if (written) written(hdr_path);
  }
  if (!s.tone_map) return Group_end::done;

  progress.start(0.f, 0.f, 1.f, "Tonemapping");
  Image_rows rows = image_to_rows(result);
  tonemap_photographic(rows.rows(), int32_t(rows.width()), int32_t(rows.height()), s.gamma,
                       k_photographic_automatic);
  rows_to_image(rows, result);
  progress.update(1.f);
  ldr_file_name(s, k, ldr_path, ldr_type);
  if (!save_output(result, ldr_path, ldr_type, groups, s.prompt_on_overwrite, questions))
    return Group_end::skipped;
  if (written) written(ldr_path);
  return Group_end::done;
}

}  // namespace

Creation_end run_hdr_creation(const std::vector<Exposure_inputs>& groups,
                              const Hdr_creation_settings& settings, const Build_hdr_fn& build,
                              const File_written_fn& written, Progress& progress,
                              Hdr_questions& questions, std::unique_ptr<Hdr_image>& single_result) {
  single_result.reset();
  // A single creation merges all chosen files as one group.
  const size_t g = settings.batch ? groups.size() : std::min<size_t>(groups.size(), 1);
  const Overall_bar overall(progress, g >= 2, float(g));
  // Told once, after the run, so a batch is not held up group by group.
  std::vector<std::pair<std::string, std::string>> unaligned;
  auto warn_unaligned = [&] {
    if (!unaligned.empty()) questions.warn(unaligned_warning(unaligned));
  };

  for (size_t k = 0; k < g; ++k) {
    const Exposure_inputs& group = groups[k];
    if (group.empty()) continue;
    std::vector<Rgb8_image> images;
    Group_end loaded = Group_end::done;
    try {
      loaded = load_group(group, images, progress);
    } catch (const Refusal& refusal) {
      // A batch reports the group it cannot make and makes the others.
      if (!settings.batch) throw;
      questions.warn(refusal.what());
      continue;
    }
    if (loaded == Group_end::stop) return Creation_end::stopped;

    auto result = std::make_unique<Hdr_image>(group.front().width, group.front().height, 1, 3, 0.f);
    {
      std::vector<Exposure_planes> planes;
      std::vector<float> times;
      for (size_t i = 0; i < images.size(); ++i) {
        planes.push_back(exposure_planes_of(images[i]));
        times.push_back(group[i].exposure);
      }
      std::vector<int> uncompared;
      const int r = build ? build(*result, planes, times, uncompared) : -1;
      images.clear();
      if (r == -1) return Creation_end::stopped;
      for (int i : uncompared)
        if (i >= 0 && size_t(i) + 1 < group.size())
          unaligned.emplace_back(group[size_t(i)].path, group[size_t(i) + 1].path);
    }

    if (!settings.batch) {
      result->type = k_type_new_hdr;
      single_result = std::move(result);
      warn_unaligned();
      return Creation_end::opened;
    }
    if (save_group(*result, k, groups, settings, written, progress, questions) ==
        Group_end::skipped)
      continue;
    progress.update_overall(float(k + 1));
  }
  warn_unaligned();
  return Creation_end::finished;
}

// The batch file loop (see the header).
#include "core/batch_image_job.h"

#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/command_boundary.h"
#include "core/file_names.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"
#include "core/image_load.h"
#include "core/image_save.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/refusal.h"
#include "core/rewrite_loss.h"
#include "core/vanished_file.h"

namespace {

// Whether two paths name one file: the same text once normalised, or, when both exist,
// the same file on disk (links, "dir/../dir").
bool same_file(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  if (fs::path(a).lexically_normal() == fs::path(b).lexically_normal()) return true;
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}

bool is_listed(const std::string& output, const std::vector<Selected_file>& files) {
  for (const Selected_file& f : files)
    if (same_file(output, f.path)) return true;
  return false;
}

// Each output written so far, with the file it came from.
using Written_outputs = std::vector<std::pair<std::string, std::string>>;

// The file whose output output already is; null when none.
const std::string* written_from(const std::string& output, const Written_outputs& outputs) {
  for (const auto& done : outputs)
    if (same_file(output, done.first)) return &done.second;
  return nullptr;
}

// One file; true when its output was written.
bool handle_file(const Selected_file& file, const std::string& output, const Image_batch_job& job) {
  if (report_if_vanished(file.path)) return false;
  const std::string prefix = std::string("Cannot ") + job.verb + " '" + file.path + "'. ";
  const uint32_t output_type = job.output_type ? *job.output_type : file.type;
  // Each step fails on its own, one alert, and the batch goes on with the next file; its
  // owner keeps the cursor and the progress.
  // Written over itself, a file that holds more than the writer keeps would lose it.
  if (output_type == file.type && same_file(output, file.path) &&
      refuse_lossy_rewrite(job.verb, file.path, file.type, prefix + job.unreadable))
    return false;
  if (job.prompt_on_overwrite && file_exists(output) &&
      ask_choice(output + " exists. Do you want to overwrite?", "Skip", "Overwrite", nullptr) != 1)
    return false;
  // One image in memory at a time: it is freed before the next file is read.
  Hdr_image image;
  if (!Command().fixed_alert(prefix + job.unreadable).keep_cursor().run([&] {
        load_image(image, file.path, file.type);
      }))
    return false;
  if (!Command().fixed_alert(job.transform_failure).keep_cursor().run([&] {
        if (!job.transform) return;
        if (!job.transform_failure.empty()) return job.transform(image, file);
        try {
          job.transform(image, file);
        } catch (const Refusal&) {
          throw;
        } catch (const std::exception& e) {
          // Without a text of the job's own, the operator's reason is told with the file.
          throw Refusal(std::string("Cannot ") + job.verb + " '" + file.path + "'. " + e.what());
        }
      }))
    return false;
  // The writer replaces the file whole or not at all; a JPEG keeps the source's EXIF
  // block whatever the output is named.
  return Command().keep_cursor().run(
      [&] { save_image_from(image, output, output_type, file.path); });
}

}  // namespace

std::string batch_output_folder(const std::string& destination) {
  if (!destination.empty() && (destination.back() == '/' || destination.back() == '\\'))
    return destination;
  return destination + '/';
}

int run_image_batch(const std::vector<Selected_file>& files, const Image_batch_job& job) {
  const std::string folder = batch_output_folder(job.destination);
  // Checked once: every output would fail the same way, one alert per file. Outputs
  // placed by output_path may lie in several folders; each write is then alerted alone.
  if (!job.output_path && !files.empty() && !platform::can_write_dir(folder)) {
    show_alert("Destination directory is not accessible!");
    return 0;
  }
  int written = 0;
  // One batch never writes a file twice: two sources of one base name would leave only
  // the second's result.
  Written_outputs outputs;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (job.before_file) job.before_file(i);
    const Selected_file& file = files[i];
    std::string output;
    try {
      output = job.output_path ? job.output_path(file)
                               : folder + make_output_name(file.name, job.suffix, "");
    } catch (const std::exception&) {
      // Tiles exist only for names with an image extension; a name without '.' is skipped.
      continue;
    }
    if (job.protect_sources && is_listed(output, files)) {
      show_alert(std::string("Cannot ") + job.verb + " '" + file.path + "'. Its output '" + output +
                 "' is one of the files of this batch.");
      continue;
    }
    if (const std::string* earlier = written_from(output, outputs)) {
      show_alert(std::string("Cannot ") + job.verb + " '" + file.path + "'. Its output '" + output +
                 "' was already written from '" + *earlier + "' in this batch.");
      continue;
    }
    if (!handle_file(file, output, job)) continue;
    outputs.emplace_back(output, file.path);
    ++written;
    if (job.file_written) job.file_written(output);
  }
  return written;
}

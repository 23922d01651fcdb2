// The file loop shared by batch resize, crop and tone mapping: each selected file loaded,
// changed and saved under a new name, in the destination folder and keeping its own
// format unless the job names another place or format.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/selected_file.h"

class Hdr_image;

/// The destination as typed, with '/' appended unless it ends in '/' or '\\' (an empty
/// destination gives "/").
std::string batch_output_folder(const std::string& destination);

struct Image_batch_job {
  const char* verb = "";  // "resize", "crop", "tonemap": for the alerts
  /// Ends the unreadable-file alert after "Cannot <verb> '<path>'. ".
  const char* unreadable = "Image data seems to be corrupted.";
  std::string destination;          // folder as typed
  std::string suffix;               // appended to each base name ("_resize")
  bool prompt_on_overwrite = true;  // ask before replacing an existing output file
  /// The output path of a file in place of the destination folder and suffix; may throw
  /// std::exception (the file is then skipped without an alert).
  std::function<std::string(const Selected_file&)> output_path;
  /// The saved format in place of the file's own type code.
  std::optional<uint32_t> output_type;
  /// Refuse (one alert, file skipped) an output that is one of the job's own files: with
  /// no prompt before replacing, it would destroy a source.
  bool protect_sources = false;
  /// Changes one loaded image. It refuses a file by throwing Refusal, whose text is the
  /// alert as it stands; anything else it throws alerts transform_failure, or, when that
  /// is empty, "Cannot <verb> '<path>'. " and the exception's text.
  std::function<void(Hdr_image&, const Selected_file&)> transform;
  std::string transform_failure;
  /// Before file i (0-based) is handled; may serve events.
  std::function<void(std::size_t)> before_file;
  /// After an output file was written (full path); may serve events.
  std::function<void(const std::string&)> file_written;
};

/// Runs the job over files in order. Output: batch_output_folder(destination) +
/// make_output_name(file name, suffix, "") (the file keeps its extension), saved with the
/// file's type code, unless output_path and output_type say otherwise; a JPEG output keeps
/// the EXIF block of its source file when that is a JPEG. An existing output
/// is replaced only after "Overwrite" when the prompt is on ("<path> exists. Do you want
/// to overwrite?", "Skip" / "Overwrite"). A file that cannot be read ("Cannot <verb>
/// '<path>'. " + unreadable), changed or written (the writer's message naming the path)
/// is alerted and skipped, its output left as it was, and the batch goes on. So is a
/// file that no longer exists (report_if_vanished: its tile leaves the grid), one whose
/// output is the file itself while it holds more than its rewrite keeps
/// (rewrite_loss_alert), and one whose output an earlier file of the batch has written
/// ("Cannot <verb> '<path>'. Its output '<output>' was already written from '<earlier
/// path>' in this batch."): no batch writes a file twice. Without
/// output_path, an output folder that is missing or cannot be written is alerted once
/// ("Destination directory is not accessible!") before any file is read or any question
/// asked, and nothing is written. Returns the number of files written.
int run_image_batch(const std::vector<Selected_file>& files, const Image_batch_job& job);

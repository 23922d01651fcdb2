// The file loop shared by batch resize and batch crop: each selected file loaded, changed
// and saved under a new name in the destination folder, keeping its own format.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "browser/file_command_view.h"

class Hdr_image;

/// The destination as typed, with '/' appended unless it ends in '/' or '\\' (an empty
/// destination gives "/").
std::string batch_output_folder(const std::string& destination);

struct Image_batch_job {
  const char* verb = "";            // "resize" or "crop", for the unreadable-file alert
  std::string destination;          // folder as typed
  std::string suffix;               // appended to each base name ("_resize")
  bool prompt_on_overwrite = true;  // ask before replacing an existing output file
  /// Changes one loaded image; returns "" or the alert for a file it cannot change. A
  /// std::exception thrown here alerts transform_failure.
  std::function<std::string(Hdr_image&, const Selected_file&)> transform;
  std::string transform_failure;
  /// Before file i (0-based) is handled; may serve events.
  std::function<void(std::size_t)> before_file;
  /// After an output file was written (full path); may serve events.
  std::function<void(const std::string&)> file_written;
};

/// Runs the job over files in order. Output: batch_output_folder(destination) +
/// make_output_name(file name, suffix, "") (the file keeps its extension), saved with the
/// file's type code. An existing output is replaced only after "Overwrite" when the prompt
/// is on ("<path> exists. Do you want to overwrite?", "Skip" / "Overwrite"). A file that
/// cannot be read ("Cannot <verb> '<path>'. Image data seems to be corrupted."), changed or
/// written (the writer's message naming the path) is alerted and skipped, its output left
/// as it was, and the batch goes on. An output folder that is missing or cannot be
/// written is alerted once ("Destination directory is not accessible!") before any file
/// is read or any question asked, and nothing is written. Returns the number of files
/// written.
int run_image_batch(const std::vector<Selected_file>& files, const Image_batch_job& job);

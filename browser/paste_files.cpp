// Paste: one file at a time, events served between files.
#include "browser/paste_files.h"

#include <cstdio>

#include "core/browser_seam.h"
#include "core/command_boundary.h"
#include "core/file_copy.h"
#include "core/file_names.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/status_progress.h"

namespace {

// Base name and extension of a path; a name without '.' has an empty extension.
void split_name(const std::string& path, std::string& base, std::string& extension) {
  std::string folder, name;
  split_path(path, folder, name);
  const std::string::size_type dot = name.rfind('.');
  base = name.substr(0, dot);
  extension = dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace

std::string copy_name(const std::string& folder, const std::string& base,
                      const std::string& extension) {
  std::string name = folder + base + "_copy" + extension;
  for (long long k = 2; file_exists(name); ++k)
    name = folder + base + "_copy" + std::to_string(k) + extension;
  return name;
}

int paste_files(const std::vector<std::string>& sources, bool copy,
                const std::string& target_folder) {
  if (sources.empty() || target_folder.empty()) return 0;
  int written = 0;
  Status_progress progress(int(sources.size()), "Copying...");
  for (std::size_t i = 0; i < sources.size(); ++i) {
    progress.step(int(i));
    const std::string& source = sources[i];
    std::string base, extension;
    split_name(source, base, extension);
    std::string target = target_folder + base + extension;
    // A file pasted onto itself: a Cut has nothing to move (and would lose the file,
    // copied onto itself, then removed); a Copy gets a new name beside it.
    if (target == source || same_file(target, source)) {
      if (!copy) continue;
      target = copy_name(target_folder, base, extension);
    }
    if (file_exists(target) && ask_choice(target + " exists. Do you want to overwrite?", "Skip",
                                          "Overwrite", nullptr) != 1)
      continue;
    // The batch goes on with the next file, its cursor and progress as they are. A failed
    // copy keeps the source, also for a Cut; a copy made counts when the grid fails after.
    bool copied = false;
    Command().keep_cursor().run([&] {
      copy_file(target, source);
      copied = true;
      if (!copy && std::remove(source.c_str()) == 0) file_removed(source);
      file_written(target);
    });
    if (copied) ++written;
  }
  return written;
}

// One loop for rotate and flip; they differ in label, transformation, tile update and
// alert texts.
#include "browser/batch_orient.h"

#include <functional>
#include <string>

#include "core/browser_seam.h"
#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "core/image_formats.h"
#include "core/image_load.h"
#include "core/image_orient.h"
#include "core/image_save.h"
#include "core/messages.h"
#include "core/rewrite_loss.h"
#include "core/status_progress.h"
#include "core/vanished_file.h"

namespace {

struct Orient_job {
  const char* label;  // progress label
  const char* verb;   // "rotate" or "flip", for the alerts
  std::function<void(Hdr_image&)> transform;
  std::function<void(const std::string&)> update_tile;  // told to the browser seam
};

bool orient_one(const Selected_file& file, const Orient_job& job) {
  const std::string& path = file.path;
  if (report_if_vanished(path)) return false;
  const std::string prefix = std::string("Cannot ") + job.verb + " '" + path + "'. ";
  if (!is_writable_type(file.type)) {
    show_alert(prefix + "Files of this type cannot be written.");
    return false;
  }
  // Each step fails on its own: the batch goes on with the next file, its progress as it is.
  // The file is replaced in place, with no question: one that holds more than its format's
  // writer keeps is left alone.
  const std::string unreadable = prefix + "Image data seems to be corrupted.";
  if (refuse_lossy_rewrite(job.verb, path, file.type, unreadable)) return false;
  Hdr_image image;
  if (!Command().fixed_alert(unreadable).keep_cursor().run([&] {
        load_image(image, path, file.type);
      }))
    return false;
  // A file written counts as done when its tile fails to follow.
  bool written = false;
  Command().keep_cursor().run([&] {
    job.transform(image);
    save_image_own_type(image, path);  // written as shown: Orientation becomes 1
    written = true;
    image = Hdr_image();  // freed before the tile reads the file back
    job.update_tile(path);
  });
  return written;
}

int run(const std::vector<Selected_file>& files, const Orient_job& job) {
  if (files.empty()) return 0;
  int done = 0;
  Status_progress progress(int(files.size()), job.label);
  for (std::size_t i = 0; i < files.size(); ++i) {
    progress.step(int(i));
    // One image in memory at a time: it is freed before the next file is read.
    if (orient_one(files[i], job)) ++done;
  }
  return done;
}

}  // namespace

int rotate_files(const std::vector<Selected_file>& files, int degrees) {
  const Orient_job job{"Rotating...", "rotate",
                       [degrees](Hdr_image& image) { rotate_quarter_turns(image, degrees); },
                       [degrees](const std::string& path) { file_rotated(path, degrees); }};
  return run(files, job);
}

int flip_files(const std::vector<Selected_file>& files, char axis) {
  const Orient_job job{"Flipping...", "flip", [axis](Hdr_image& image) { flip_image(image, axis); },
                       [axis](const std::string& path) { file_flipped(path, axis); }};
  return run(files, job);
}
